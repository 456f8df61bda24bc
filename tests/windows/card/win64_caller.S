/* void CallWin64(Win64Call* call): calls call->fn with call->args in RCX,
   RDX, R8 and R9 as they stand (garbage in their upper bits included), on a
   16-byte aligned stack with a home area of garbage, after loading every
   nonvolatile register with a known value. Stores RAX, how far RSP moved
   across the call, and a bit for each nonvolatile register that came back
   changed (see stdcall_caller.h); then gives the caller back its own
   registers and stack. */

        .set    OFF_FN, 0
        .set    OFF_ARGS, 8
        .set    OFF_RESULT, 40
        .set    OFF_STACK, 48
        .set    OFF_CHANGED, 56

        .section .rdata,"dr"
        .p2align 4
xmm_known:                      /* XMM6 to XMM15, 16 bytes each */
        .quad   0x1111222233334444, 0x5555666677778888
        .quad   0x0606060606060606, 0x6060606060606060
        .quad   0x0707070707070707, 0x7070707070707070
        .quad   0x0808080808080808, 0x8080808080808080
        .quad   0x0909090909090909, 0x9090909090909090
        .quad   0x0A0A0A0A0A0A0A0A, 0xA0A0A0A0A0A0A0A0
        .quad   0x0B0B0B0B0B0B0B0B, 0xB0B0B0B0B0B0B0B0
        .quad   0x0C0C0C0C0C0C0C0C, 0xC0C0C0C0C0C0C0C0
        .quad   0x0D0D0D0D0D0D0D0D, 0xD0D0D0D0D0D0D0D0
        .quad   0x0E0E0E0E0E0E0E0E, 0xE0E0E0E0E0E0E0E0
gpr_known:                      /* RBX RBP RDI RSI R12 R13 R14 R15 */
        .quad   0xB0B0B0B0000000B0, 0xB0B0B0B0000000B1
        .quad   0xD1D1D1D1000000D1, 0x5151515100000051
        .quad   0x1212121200000012, 0x1313131300000013
        .quad   0x1414141400000014, 0x1515151500000015

        .bss
        .p2align 3
call_block:     .space 8        /* the Win64Call of the call under way */
rsp_before:     .space 8        /* RSP at the callee's entry, less the return address */

        .text
        .globl  CallWin64
        .def    CallWin64; .scl 2; .type 32; .endef
CallWin64:
        /* Entry: RSP = 8 mod 16. Keep the caller's nonvolatile registers. */
        pushq   %rbx
        pushq   %rbp
        pushq   %rdi
        pushq   %rsi
        pushq   %r12
        pushq   %r13
        pushq   %r14
        pushq   %r15
        subq    $168, %rsp      /* XMM6-XMM15; RSP = 0 mod 16 */
        .irp    n, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
        movdqu  %xmm\n, (\n - 6) * 16(%rsp)
        .endr
        movq    %rcx, call_block(%rip)

        /* The callee's home area, garbage; RSP stays 0 mod 16 at the call. */
        subq    $32, %rsp
        movabsq $0x6A7BA6E6A7BA6E00, %rax
        movq    %rax, 0(%rsp)
        movq    %rax, 8(%rsp)
        movq    %rax, 16(%rsp)
        movq    %rax, 24(%rsp)
        movq    %rsp, rsp_before(%rip)

        movq    gpr_known + 0(%rip), %rbx
        movq    gpr_known + 8(%rip), %rbp
        movq    gpr_known + 16(%rip), %rdi
        movq    gpr_known + 24(%rip), %rsi
        movq    gpr_known + 32(%rip), %r12
        movq    gpr_known + 40(%rip), %r13
        movq    gpr_known + 48(%rip), %r14
        movq    gpr_known + 56(%rip), %r15
        .irp    n, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
        movdqa  xmm_known + (\n - 6) * 16(%rip), %xmm\n
        .endr

        movq    OFF_FN(%rcx), %rax
        movq    OFF_ARGS + 8(%rcx), %rdx
        movq    OFF_ARGS + 16(%rcx), %r8
        movq    OFF_ARGS + 24(%rcx), %r9
        movq    OFF_ARGS + 0(%rcx), %rcx
        callq   *%rax

        movq    call_block(%rip), %rcx
        movq    %rax, OFF_RESULT(%rcx)
        movq    %rsp, %rdx
        subq    rsp_before(%rip), %rdx
        movq    %rdx, OFF_STACK(%rcx)
        movq    rsp_before(%rip), %rsp

        xorl    %edx, %edx
        .macro  check_gpr reg, index
        cmpq    gpr_known + \index * 8(%rip), \reg
        je      1f
        orl     $(1 << \index), %edx
1:
        .endm
        check_gpr %rbx, 0
        check_gpr %rbp, 1
        check_gpr %rdi, 2
        check_gpr %rsi, 3
        check_gpr %r12, 4
        check_gpr %r13, 5
        check_gpr %r14, 6
        check_gpr %r15, 7
        .irp    n, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
        movdqa  xmm_known + (\n - 6) * 16(%rip), %xmm0
        pcmpeqb %xmm\n, %xmm0
        pmovmskb %xmm0, %eax
        cmpl    $0xFFFF, %eax
        je      1f
        orl     $(1 << (\n + 2)), %edx
1:
        .endr
        movl    %edx, OFF_CHANGED(%rcx)

        addq    $32, %rsp
        .irp    n, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15
        movdqu  (\n - 6) * 16(%rsp), %xmm\n
        .endr
        addq    $168, %rsp
        popq    %r15
        popq    %r14
        popq    %r13
        popq    %r12
        popq    %rsi
        popq    %rdi
        popq    %rbp
        popq    %rbx
        ret
