// Calling convention and linkage of the card operations. On 32-bit Windows
// they use the standard calling convention (the callee removes its argument
// slots), which is how the library exports them; elsewhere the default.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define SSIKOVO_CALL __stdcall
#else
#define SSIKOVO_CALL
#endif

#ifdef __cplusplus
#define SSIKOVO_EXTERN_C extern "C"
#else
#define SSIKOVO_EXTERN_C
#endif
