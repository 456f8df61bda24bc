/* NALOUNI.dll: byte access to the card's eight registers through the port
   driver "\\.\NaloUniDev". Ports are register numbers; the driver adds the
   card's address from its parameters. Standard calling convention. */
#ifndef NALOUNI_H
#define NALOUNI_H

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the driver's device; nonzero when it is open. Safe to call again. */
unsigned long __stdcall NaloUniInitDriver(void);
/* Closes the device; nonzero when one was open. */
unsigned long __stdcall NaloUniDeInitDriver(void);
/* The byte of card register "port" in the low 8 bits; 0xFF (a floating
   bus) when the request fails. */
unsigned long __stdcall NaloUniReadByte(unsigned long port);
/* Writes the low 8 bits of "value" to card register "port"; nonzero on success. */
unsigned long __stdcall NaloUniWriteByte(unsigned long port, unsigned long value);

#ifdef __cplusplus
}
#endif

#endif
