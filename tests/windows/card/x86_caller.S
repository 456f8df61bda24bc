/* void CallX86(X86Call* call), cdecl: pushes call->count slots of
   call->slots right to left and calls call->fn, after loading the
   nonvolatile registers EBX, ESI, EDI and EBP with known values and the
   volatile ECX and EDX with garbage. Stores EAX, how far ESP moved across the
   call (0 when a standard-call function removed exactly its own arguments),
   and a bit for each nonvolatile register that came back changed (see
   stdcall_caller.h); then gives the caller back its own registers and
   stack. */

        .set    OFF_FN, 0
        .set    OFF_SLOTS, 4
        .set    OFF_COUNT, 8
        .set    OFF_RESULT, 12
        .set    OFF_STACK, 16
        .set    OFF_CHANGED, 20

        .set    KNOWN_EBX, 0xB0B000B0
        .set    KNOWN_ESI, 0x51510051
        .set    KNOWN_EDI, 0xD1D100D1
        .set    KNOWN_EBP, 0xEBEB00EB

        .bss
        .p2align 2
esp_before:     .space 4        /* ESP before the slots were pushed */

        .text
        .globl  _CallX86
        .def    _CallX86; .scl 2; .type 32; .endef
_CallX86:
        pushl   %ebp
        pushl   %ebx
        pushl   %esi
        pushl   %edi
        movl    20(%esp), %eax          /* the X86Call */
        pushl   %eax                    /* kept for after the call */
        movl    %esp, esp_before
        movl    OFF_COUNT(%eax), %ecx
        movl    OFF_SLOTS(%eax), %edx
1:      jecxz   2f
        pushl   -4(%edx,%ecx,4)
        decl    %ecx
        jmp     1b
2:      movl    OFF_FN(%eax), %eax
        movl    $KNOWN_EBX, %ebx
        movl    $KNOWN_ESI, %esi
        movl    $KNOWN_EDI, %edi
        movl    $KNOWN_EBP, %ebp
        movl    $0xBAD0C0DE, %ecx
        movl    $0xBAD1C0DE, %edx
        call    *%eax
        xorl    %ecx, %ecx
        cmpl    $KNOWN_EBX, %ebx
        je      3f
        orl     $1, %ecx
3:      cmpl    $KNOWN_ESI, %esi
        je      4f
        orl     $2, %ecx
4:      cmpl    $KNOWN_EDI, %edi
        je      5f
        orl     $4, %ecx
5:      cmpl    $KNOWN_EBP, %ebp
        je      6f
        orl     $8, %ecx
6:      movl    %esp, %edx
        movl    esp_before, %ebx
        subl    %ebx, %edx              /* ESP after less ESP before */
        movl    %ebx, %esp
        popl    %esi                    /* the X86Call */
        movl    %eax, OFF_RESULT(%esi)
        movl    %edx, OFF_STACK(%esi)
        movl    %ecx, OFF_CHANGED(%esi)
        popl    %edi
        popl    %esi
        popl    %ebx
        popl    %ebp
        ret
