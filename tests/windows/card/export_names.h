/* The name under which the library exports a function taking `bytes` bytes
   of arguments: on 32-bit x86 only the decorated name of the standard call
   ("_GetSSIKovo@4"); x86_64 has one calling convention and no decoration,
   so there it is the plain name ("GetSSIKovo"). */
#ifndef EXPORT_NAMES_H
#define EXPORT_NAMES_H

#ifdef _WIN64
#define SSIKOVO_EXPORT(name, bytes) #name
#else
#define SSIKOVO_EXPORT(name, bytes) "_" #name "@" #bytes
#endif

#endif
