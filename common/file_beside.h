#ifndef QEN_COMMON_FILE_BESIDE_H
#define QEN_COMMON_FILE_BESIDE_H

#include <sys/stat.h>
#include <sys/types.h>

/* Output files that replace their target only once complete: the target
 * behind symbolic links, a new file made beside it, the owner and mode it
 * takes over, and the files a run has made but not completed, which a
 * signal may have to remove. Compiled into each deliverable that writes its
 * output this way (the analyzer's reports, vestrake's dumps). */

/* A file made by a run that is not complete yet: removed by
 * pending_files_discard until it is released. A placeholder is a file that
 * did not exist before the run; it is removed only while it is still the
 * empty file (device, inode) that the run made. */
struct pending_file;
struct pending_file* pending_file_add(const char* path, int placeholder, dev_t dev, ino_t ino);
/* Forgets the file, which stays. */
void pending_file_release(struct pending_file* pending);
/* Removes the file now (a placeholder only when it is still the run's
 * empty file) and forgets it. */
void pending_file_discard(struct pending_file* pending);

/* Removes the unfinished files of this process. Async-signal-safe. */
void pending_files_discard(void);

/* The path with every symbolic link in its last component followed, to a
 * target that need not exist yet (a dangling link names the file to create).
 * A link of /proc/PID/fd whose text leads elsewhere (a pipe, a deleted file)
 * is kept as the path. malloc'd; NULL with errno set when the links loop or memory runs out. */
char* resolve_links(const char* path);

/* Makes the file at path, which must not exist yet, with the given mode,
 * open for reading and writing, and marks it pending (a placeholder when
 * placeholder is not 0), with signals held off so that no handler finds the
 * file made but unmarked or marked but someone else's. Its descriptor and
 * its mark in *pending; -1 with errno set. */
int create_pending(const char* path, int placeholder, mode_t mode, struct pending_file** pending);

/* Creates a new file beside target (target.PID.N.part) with the given mode
 * through create_pending, and holds its lock (flock) until its last
 * descriptor is closed: a caller renames the file before it closes it. A
 * name too long for the suffix is shortened and followed by a hash of the
 * whole name. The files that dead runs left beside target (the process in
 * the name gone, the file's lock free for the taking) are removed first.
 * Returns its descriptor, its malloc'd name in *name and its mark in
 * *pending; -1 with errno set when no file can be made there (ENAMETOOLONG
 * when no name fits the folder's limit). */
int create_beside(const char* target, mode_t mode, char** name, struct pending_file** pending);

/* The new file takes the owner, group and mode of the one it replaces, as
 * far as this process may set them. */
void keep_owner_and_mode(int fd, const struct stat* old);

#endif
