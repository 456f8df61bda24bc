/* ssikovo.exe: the card from the command line, through SSIKovo.dll.
 *
 * A plain C program that uses nothing of the library but SSIKovo.h and its
 * import library, as any caller would; copy it as a starting point.
 *
 *   ssikovo read [CH...] [--bits N] [--clock KHZ] [--code gray|binary]
 *                [--count N | --forever] [--interval MS] [--csv]
 *   ssikovo inputs
 *   ssikovo outputs FLAGS
 *   ssikovo address A
 *
 * Every argument is checked before the card is touched: a bad one gives one
 * line on stderr and exit code 2. The library reports no errors (an absent
 * card reads as a floating bus), so neither does this program. */
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "SSIKovo.h"

#define CHANNELS 4
#define OUTPUTS 6
#define EXIT_BAD_ARGUMENT 2

/* The card's defaults, which InitSSIKovo sets for every channel. */
#define DEFAULT_BITS 25
#define DEFAULT_CLOCK_KHZ 100
#define DEFAULT_CODE 0 /* Gray */

/* The same interval as the demo program's polling. */
#define DEFAULT_INTERVAL_MS 200
#define DEFAULT_COUNT 10
#define MAX_INTERVAL_MS 3600000UL

static const char kUsage[] =
    "usage: ssikovo read|inputs|outputs|address ... (ssikovo COMMAND --help)\n";

static const char kReadHelp[] =
    "ssikovo read [CH...] [--bits N] [--clock KHZ] [--code gray|binary]\n"
    "             [--count N | --forever] [--interval MS] [--csv]\n"
    "  Configures the channels CH (1 to 4; all four if none is given) and prints\n"
    "  one line per sample: the time in ms since the first sample, then the\n"
    "  position of each channel. Ends after the count or at Ctrl+C, then\n"
    "  releases the card (its outputs go off).\n"
    "  --bits N        resolution, 10 to 25 bits (default 25)\n"
    "  --clock KHZ     SSI clock, 50 to 1000 kHz (default 100)\n"
    "  --code C        gray or binary (default gray)\n"
    "  --count N       number of samples, at least 1 (default 10)\n"
    "  --forever       sample until Ctrl+C\n"
    "  --interval MS   time from one sample to the next, 0 to 3600000 (default 200)\n"
    "  --csv           a header line, then comma-separated rows\n";

static const char kInputsHelp[] =
    "ssikovo inputs\n"
    "  Prints the four zero inputs: their flags (bit n-1 = input n) and each\n"
    "  input's level, then releases the card.\n";

static const char kOutputsHelp[] =
    "ssikovo outputs FLAGS\n"
    "  Sets the six outputs and leaves them set when the program ends.\n"
    "  FLAGS is a number, decimal or 0x hex, bit n-1 driving output n (0x21:\n"
    "  outputs 1 and 6; 0: all off), or a list of the outputs to switch on,\n"
    "  separated by commas (1,6; a single output as 6,).\n";

static const char kAddressHelp[] =
    "ssikovo address A\n"
    "  Calls SetAdrSSIKovo(A), A decimal or 0x hex, 0 to 0xFFFF. On the NT family\n"
    "  the port driver's IoPortAddress becomes A and its service is restarted;\n"
    "  on the 9x family the address lasts only while this program runs.\n";

/* One line on stderr naming the bad argument; the program's exit code. */
static int BadArgument(const char* argument, const char* format, ...) {
  va_list args;
  fprintf(stderr, "ssikovo: bad argument \"%s\": ", argument);
  va_start(args, format);
  vfprintf(stderr, format, args);
  va_end(args);
  fputc('\n', stderr);
  return EXIT_BAD_ARGUMENT;
}

/* A whole unsigned number, decimal or 0x hex, at most max. */
static int ParseNumber(const char* text, unsigned long max, unsigned long* value) {
  unsigned long base = 10, result = 0;
  const char* p = text;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    base = 16;
    p += 2;
  }
  if (*p == '\0') return 0;
  for (; *p; ++p) {
    unsigned long digit;
    if (*p >= '0' && *p <= '9')
      digit = (unsigned long)(*p - '0');
    else if (base == 16 && *p >= 'a' && *p <= 'f')
      digit = (unsigned long)(*p - 'a' + 10);
    else if (base == 16 && *p >= 'A' && *p <= 'F')
      digit = (unsigned long)(*p - 'A' + 10);
    else
      return 0;
    if (digit > max || result > (max - digit) / base) return 0;
    result = result * base + digit;
  }
  *value = result;
  return 1;
}

/* The help text of a command, on stdout. */
static int Help(const char* text) {
  fputs(text, stdout);
  return 0;
}

static int IsHelp(int argc, char** argv) {
  int i;
  for (i = 2; i < argc; ++i)
    if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) return 1;
  return 0;
}

/* ---- read ---------------------------------------------------------------- */

struct ReadOptions {
  int channels[CHANNELS];
  int channelCount;
  unsigned long bits, clockKHz, code, count, intervalMs;
  int forever, csv;
};

/* The value of the option at argv[*i]; NULL (and a message) when it has none. */
static const char* OptionValue(int argc, char** argv, int* i) {
  if (*i + 1 >= argc) {
    BadArgument(argv[*i], "needs a value");
    return NULL;
  }
  return argv[++*i];
}

static int ParseRead(int argc, char** argv, struct ReadOptions* o) {
  int i, countGiven = 0;
  memset(o, 0, sizeof *o);
  o->bits = DEFAULT_BITS;
  o->clockKHz = DEFAULT_CLOCK_KHZ;
  o->code = DEFAULT_CODE;
  o->count = DEFAULT_COUNT;
  o->intervalMs = DEFAULT_INTERVAL_MS;
  for (i = 2; i < argc; ++i) {
    const char* a = argv[i];
    const char* v;
    if (strcmp(a, "--bits") == 0) {
      if (!(v = OptionValue(argc, argv, &i))) return EXIT_BAD_ARGUMENT;
      if (!ParseNumber(v, 0xFFFF, &o->bits) || o->bits < 10 || o->bits > 25)
        return BadArgument(v, "the resolution is 10 to 25 bits");
    } else if (strcmp(a, "--clock") == 0) {
      if (!(v = OptionValue(argc, argv, &i))) return EXIT_BAD_ARGUMENT;
      if (!ParseNumber(v, 0xFFFF, &o->clockKHz) || o->clockKHz < 50 || o->clockKHz > 1000)
        return BadArgument(v, "the SSI clock is 50 to 1000 kHz");
    } else if (strcmp(a, "--code") == 0) {
      if (!(v = OptionValue(argc, argv, &i))) return EXIT_BAD_ARGUMENT;
      if (strcmp(v, "gray") == 0)
        o->code = 0;
      else if (strcmp(v, "binary") == 0)
        o->code = 1;
      else
        return BadArgument(v, "the code is gray or binary");
    } else if (strcmp(a, "--count") == 0) {
      if (!(v = OptionValue(argc, argv, &i))) return EXIT_BAD_ARGUMENT;
      if (!ParseNumber(v, 0xFFFFFFFFUL, &o->count) || o->count == 0)
        return BadArgument(v, "the count is a number of samples, at least 1");
      countGiven = 1;
    } else if (strcmp(a, "--interval") == 0) {
      if (!(v = OptionValue(argc, argv, &i))) return EXIT_BAD_ARGUMENT;
      if (!ParseNumber(v, MAX_INTERVAL_MS, &o->intervalMs))
        return BadArgument(v, "the interval is 0 to %lu ms", MAX_INTERVAL_MS);
    } else if (strcmp(a, "--forever") == 0) {
      o->forever = 1;
    } else if (strcmp(a, "--csv") == 0) {
      o->csv = 1;
    } else if (a[0] == '-') {
      return BadArgument(a, "no such option of read");
    } else {
      unsigned long channel;
      int k;
      if (!ParseNumber(a, 0xFFFF, &channel) || channel < 1 || channel > CHANNELS)
        return BadArgument(a, "a channel is 1 to 4");
      for (k = 0; k < o->channelCount; ++k)
        if (o->channels[k] == (int)channel) return BadArgument(a, "channel given twice");
      o->channels[o->channelCount++] = (int)channel;
    }
  }
  if (o->forever && countGiven) return BadArgument("--forever", "goes with no --count");
  if (o->channelCount == 0) {
    for (i = 0; i < CHANNELS; ++i) o->channels[i] = i + 1;
    o->channelCount = CHANNELS;
  }
  return 0;
}

static HANDLE StopEvent;

static BOOL WINAPI OnConsoleControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  SetEvent(StopEvent);
  return TRUE;
}

/* Waits until the tick count reaches due; 0 when Ctrl+C came first. */
static int WaitUntil(DWORD start, unsigned long due) {
  for (;;) {
    const DWORD now = GetTickCount() - start;
    if (now >= due) return WaitForSingleObject(StopEvent, 0) != WAIT_OBJECT_0;
    if (WaitForSingleObject(StopEvent, (DWORD)(due - now)) == WAIT_OBJECT_0) return 0;
  }
}

static int Read(const struct ReadOptions* o) {
  unsigned long sample;
  DWORD start;
  int k;
  StopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);

  InitSSIKovo();
  for (k = 0; k < o->channelCount; ++k)
    ConfSSIKovo((unsigned char)o->channels[k], (unsigned char)o->bits,
                (unsigned short)o->clockKHz, (unsigned char)o->code);

  if (o->csv) {
    printf("time_ms");
    for (k = 0; k < o->channelCount; ++k) printf(",ch%d", o->channels[k]);
    printf("\n");
  }
  start = GetTickCount();
  /* Sample n is due n intervals after the first, so that the time of one
     acquisition does not add up over the samples. */
  for (sample = 0; o->forever || sample < o->count; ++sample) {
    DWORD at;
    if (sample > 0 && !WaitUntil(start, sample * o->intervalMs)) break;
    at = GetTickCount() - start;
    printf(o->csv ? "%lu" : "%8lu ms", (unsigned long)at);
    for (k = 0; k < o->channelCount; ++k) {
      const long position = GetSSIKovo((unsigned char)o->channels[k]);
      if (o->csv)
        printf(",%ld", position);
      else
        printf("  %d: %8ld", o->channels[k], position);
    }
    printf("\n");
    fflush(stdout);
    if (WaitForSingleObject(StopEvent, 0) == WAIT_OBJECT_0) break;
  }

  DeInitSSIKovo();
  SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  CloseHandle(StopEvent);
  return 0;
}

/* ---- inputs, outputs, address ----------------------------------------------- */

static int Inputs(void) {
  unsigned char flags;
  int n;
  InitSSIKovo();
  flags = GetInputs();
  printf("0x%02X ", flags);
  for (n = 1; n <= CHANNELS; ++n)
    printf(" %d %s", n, (flags >> (n - 1)) & 1 ? "on" : "off");
  printf("\n");
  DeInitSSIKovo();
  return 0;
}

/* FLAGS as a number, or as a comma-separated list of output numbers. */
static int ParseOutputs(const char* text, unsigned long* flags) {
  char item[16];
  const char* p = text;
  if (!strchr(text, ',')) {
    if (!ParseNumber(text, 0xFFFF, flags) || *flags > 0x3F)
      return BadArgument(text, "the flags are 0 to 0x3F, or a list of outputs 1 to 6 such as 1,6");
    return 0;
  }
  *flags = 0;
  while (*p) {
    const char* end = strchr(p, ',');
    size_t length = end ? (size_t)(end - p) : strlen(p);
    unsigned long output;
    if (length == 0 || length >= sizeof item)
      return BadArgument(text, "a list names outputs 1 to 6, separated by commas");
    memcpy(item, p, length);
    item[length] = '\0';
    if (!ParseNumber(item, 0xFFFF, &output) || output < 1 || output > OUTPUTS)
      return BadArgument(text, "output %s: the outputs are 1 to 6", item);
    *flags |= 1UL << (output - 1);
    p += length;
    if (*p == ',') ++p;
  }
  return 0;
}

static int Outputs(unsigned long flags) {
  InitSSIKovo();
  SetOutputs((unsigned char)flags);
  /* No DeInitSSIKovo: it would switch the outputs off again. The card keeps
     them until the next program initialises it. */
  printf("outputs 0x%02lX\n", flags);
  return 0;
}

static int Address(unsigned long address) {
  InitSSIKovo();
  SetAdrSSIKovo((unsigned short)address);
  DeInitSSIKovo();
  printf("SetAdrSSIKovo(0x%lX) called\n", address);
  return 0;
}

/* No argument past the command itself. */
static int NoMoreArguments(int argc, char** argv, int first) {
  if (argc > first) return BadArgument(argv[first], "%s takes no more arguments", argv[1]);
  return 0;
}

int main(int argc, char** argv) {
  const char* command = argc > 1 ? argv[1] : "";
  int status;
  if (argc < 2) {
    fputs(kUsage, stderr);
    return EXIT_BAD_ARGUMENT;
  }
  if (strcmp(command, "--help") == 0 || strcmp(command, "-h") == 0 || strcmp(command, "help") == 0) {
    printf("%s\n%s\n%s\n%s\n%s", kUsage, kReadHelp, kInputsHelp, kOutputsHelp, kAddressHelp);
    return 0;
  }

  if (strcmp(command, "read") == 0) {
    struct ReadOptions options;
    if (IsHelp(argc, argv)) return Help(kReadHelp);
    if ((status = ParseRead(argc, argv, &options)) != 0) return status;
    return Read(&options);
  }
  if (strcmp(command, "inputs") == 0) {
    if (IsHelp(argc, argv)) return Help(kInputsHelp);
    if ((status = NoMoreArguments(argc, argv, 2)) != 0) return status;
    return Inputs();
  }
  if (strcmp(command, "outputs") == 0 || strcmp(command, "address") == 0) {
    const int outputs = command[0] == 'o';
    unsigned long value;
    if (IsHelp(argc, argv)) return Help(outputs ? kOutputsHelp : kAddressHelp);
    if (argc < 3) return BadArgument(command, outputs ? "needs FLAGS" : "needs an address");
    if ((status = NoMoreArguments(argc, argv, 3)) != 0) return status;
    if (outputs) {
      if ((status = ParseOutputs(argv[2], &value)) != 0) return status;
      return Outputs(value);
    }
    if (!ParseNumber(argv[2], 0xFFFF, &value))
      return BadArgument(argv[2], "the address is 0 to 0xFFFF, decimal or 0x hex");
    return Address(value);
  }
  return BadArgument(command, "no such command (read, inputs, outputs, address)");
}
