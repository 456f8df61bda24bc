/* SSIKovo.dll: the card library for SSI absolute encoders.
 *
 * Call InitSSIKovo once, then SetAdrSSIKovo if the card's base address is to
 * be moved, ConfSSIKovo for each channel that is not to keep the defaults
 * (25 bits, 100 kHz, Gray code), then GetSSIKovo, GetInputs and SetOutputs as
 * often as needed, and DeInitSSIKovo at the end. GrayToBin may be called at
 * any time. Use the library from one thread at a time.
 *
 * All functions use the standard calling convention. The 32-bit library
 * exports them under their decorated names only (for example
 * "_GetSSIKovo@4"); the 64-bit library, x64 having one calling convention
 * and no decoration, under their plain names ("GetSSIKovo"), at the same
 * ordinals. Link with the import library libSSIKovo.dll.a of the same width,
 * or look the exported name up with GetProcAddress. Arguments narrower than
 * a register use only its low bits; long is 32 bits on both widths. */
#ifndef SSIKOVO_H
#define SSIKOVO_H

#ifdef __cplusplus
extern "C" {
#endif

/* Chooses the port access, prepares the card, sets every channel to the
   defaults. Returns 0xFF. */
unsigned char __stdcall InitSSIKovo(void);

/* Clears the outputs and releases the port access. Returns 0xFF. */
unsigned char __stdcall DeInitSSIKovo(void);

/* Moves the card's I/O base address (through the port driver's parameters
   and a restart of its service on the NT family). */
void __stdcall SetAdrSSIKovo(unsigned short address);

/* Channel 1-4, resolution 10-25 bits, SSI clock 50-1000 kHz, code type
   0 = Gray, 1 = binary. A call with any argument out of range changes
   nothing. */
void __stdcall ConfSSIKovo(unsigned char channel, unsigned char resolution,
                           unsigned short clockKHz, unsigned char codeType);

/* Position of channel 1-4: 0 to 2^resolution - 1, binary. No zero offset is
   applied. 0 for any other channel. */
long __stdcall GetSSIKovo(unsigned char channel);

/* Zero inputs: bit n-1 set when input n is active now or was seen active by
   an acquisition since the previous call. */
unsigned char __stdcall GetInputs(void);

/* Outputs: bit n-1 drives output n (1-6); bits 6 and 7 have no effect. */
void __stdcall SetOutputs(unsigned char flags);

/* Gray code to binary over all 32 bits. */
long __stdcall GrayToBin(long value);

#ifdef __cplusplus
}
#endif

#endif
