#ifndef QEN_COMMON_STANDARD_DESCRIPTORS_H
#define QEN_COMMON_STANDARD_DESCRIPTORS_H

/* Standard input, output and error that the caller closed (<&-, >&-, 2>&-)
 * are taken by a descriptor that can be neither read nor written, so that
 * no file the program opens gets their numbers: a report or a dump would
 * otherwise receive the messages meant for the closed stream, and an
 * output could be taken for the input. Using them still fails as on a
 * closed stream (EBADF). Call first thing in main. Returns the streams it
 * took, bit n for descriptor n. */
int hold_standard_descriptors(void);

#endif
