/* The sound card's synthesizer library: four entry points and the status record they
 * share with the program. Everything is little-endian and tightly laid out, so the
 * record can cross the library boundary as raw bytes. */
#ifndef KORVANE_SYNTH32_H
#define KORVANE_SYNTH32_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The entry points stay visible when a card library hides everything else. */
#if defined(__GNUC__)
#define SYNTH_API __attribute__((visibility("default")))
#else
#define SYNTH_API
#endif

#define SYNTH_MAX_BANKS 8
/* A bank's priority is SYNTH_MIN_PRIORITY..SYNTH_MAX_PRIORITY. */
#define SYNTH_MIN_PRIORITY 0
#define SYNTH_MAX_PRIORITY 127
#define SYNTH_BANK_NAME_SIZE 16

/* Status codes returned by the entry points; 0 is success. */
enum SynthStatusCode
{
    SYNTH_OK = 0,
    SYNTHERR_UNREF = 1,        /* no bank with that ID is loaded */
    SYNTHERR_OUTOFMEM = 2,     /* the bank does not fit in free sample memory */
    SYNTHERR_INVADD = 3,       /* an argument is out of range (a priority) */
    SYNTHERR_INVCOUNT = 4,     /* all bank slots are in use */
    SYNTHERR_ABORT = 5,        /* the card's state could not be read or written */
    SYNTHERR_NOTSUPPORTED = 6, /* the operation is not available */
    SYNTHERR_INVCOM = 7,       /* the file is not a bank */
    SYNTHERR_FILENOTFOUND = 8, /* the bank file cannot be opened */
    SYNTHERR_CANNOTDELETE = 9  /* the bank cannot be removed */
};

/* SynthLoadBank returns the new bank's ID (0..16) or SYNTH_LOAD_ERROR_BASE + status code. */
#define SYNTH_LOAD_ERROR_BASE 16

typedef struct SynthBankEntry
{
    char name[SYNTH_BANK_NAME_SIZE]; /* NUL-terminated within the 16 bytes */
    int32_t priority;
    uint32_t size; /* sample memory taken, bytes */
    uint32_t id;   /* upper 16 bits zero */
} SynthBankEntry;

typedef struct SynthStatus
{
    uint32_t totalMemory; /* bytes */
    uint32_t freeMemory;  /* bytes */
    uint32_t bankCount;   /* 0..8; entries past it are unspecified */
    SynthBankEntry banks[SYNTH_MAX_BANKS];
} SynthStatus;

/* The simulated card keeps its state in a file that every process shares: the file named by
 * KORVANE_CARD_STATE, else $XDG_STATE_HOME/korvane/card.state (~/.local/state by default).
 * A new card gets KORVANE_CARD_MEMORY bytes (decimal; 8 MiB when unset or malformed); an
 * existing card keeps its memory. Every call re-reads the state under a lock, so banks
 * loaded by one process are seen by all. Any call returns SYNTHERR_ABORT when the state
 * cannot be read or written, and a broken state file is renamed to "<file>.bad" (or
 * ".bad.N") so that the next call starts from an empty card. */

/* Loads the bank file at path under the lowest free ID (priority 0, its file size taken
 * from sample memory). Errors, in the order checked: SYNTHERR_INVCOUNT (8 banks loaded),
 * SYNTHERR_FILENOTFOUND (cannot open, or null), SYNTHERR_OUTOFMEM (the file is larger than
 * the free memory; checked before the file is read), SYNTHERR_INVCOM (not a bank file). */
SYNTH_API uint16_t SynthLoadBank(const char* path);
/* SYNTHERR_UNREF when no bank has that ID. */
SYNTH_API uint16_t SynthUnloadBank(uint16_t id);
/* SYNTHERR_UNREF when no bank has that ID, then SYNTHERR_INVADD for a priority outside
 * SYNTH_MIN_PRIORITY..SYNTH_MAX_PRIORITY. */
SYNTH_API uint16_t SynthSetPriority(uint16_t id, int32_t priority);
/* Fills the whole record, banks in ascending ID order and zeroes past bankCount; a zeroed
 * record on SYNTHERR_ABORT. SYNTHERR_INVADD for a null pointer. */
SYNTH_API uint16_t SynthGetStatus(SynthStatus* status);

/* Optional entry points: a card may offer them, and the program does without them when it
 * does not (the simulated card offers SynthCheckBank only). */

/* Whether SynthLoadBank could take the file at path as far as the file alone tells, with the
 * same checks: SYNTHERR_FILENOTFOUND, SYNTHERR_INVCOM or SYNTH_OK. The card's slots and free
 * memory are not looked at, and the card is left as it is. */
SYNTH_API uint16_t SynthCheckBank(const char* path);

/* Copies the file the card holds bank id from, NUL-terminated, into path (size bytes).
 * SYNTHERR_UNREF when no bank has that ID; SYNTHERR_INVADD when path is null or too small. */
SYNTH_API uint16_t SynthGetBankPath(uint16_t id, char* path, uint32_t size);
/* Copies into ids (room for count IDs) the IDs of the banks in the order the card's
 * synthesizer searches them for a program, the first searched first, and sets *count to how
 * many it wrote. SYNTHERR_INVADD when ids or count is null. */
SYNTH_API uint16_t SynthGetSearchOrder(uint16_t* ids, uint32_t* count);
/* Copies what the calling thread's last failed call has to add to its status code (UTF-8,
 * cut to size bytes with its NUL) into text; an empty text when it has nothing to add. */
SYNTH_API void SynthGetErrorDetail(char* text, uint32_t size);

#ifdef __cplusplus
}
#endif

#endif
