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

/* The standard stream (0, 1 or 2) that path names, also through links
 * (/dev/stdout, /dev/fd/1, /proc/self/fd/1, /proc/PID/fd/1); -1 for any
 * other path. Writing through the stream's own descriptor keeps its file's
 * content and its append mode, which opening that name anew would not. */
int standard_stream_named(const char* path);

/* Flushes standard output. 0, or the reason (an errno) of the first write
 * to standard output that failed in this process: the stream drops what a
 * failed write held, so the reason is taken when the failure happens. Call
 * it after each write to standard output whose loss must be explained. */
int flush_standard_output(void);

#endif
