// How ledger files meet the file system, for the program and its command-line companion alike:
// opening a file for reading without ever waiting, and replacing a whole file so that neither a
// failure nor a kill leaves it half written or a stray file beside it. Knows nothing of the
// record's layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>

struct ReadOpening {
    int Descriptor = -1; // open for reading and close-on-exec; -1 when the file was not opened
    uint64_t Size = 0; // the file's size when it was opened
    bool NotRegularFile = false; // refused: a FIFO, a folder, a device or a socket
    int Error = 0; // otherwise, when not opened: the errno of the step that failed
};

// Opens `path` (in the file system's encoding) for reading. It never blocks: a FIFO is opened
// without waiting for a writer, and anything that is not a regular file is refused at once, since
// reading it would wait for a writer or never reach an end.
ReadOpening OpenRegularFileForReading(const std::string& path);

// Reads or writes all of `size` bytes, going on after interruptions; returns the bytes moved,
// fewer at the end of a file or on a full disk, or -1 with errno set.
ssize_t ReadFully(int descriptor, unsigned char* buffer, size_t size);
ssize_t WriteFully(int descriptor, const unsigned char* bytes, size_t size);

// The folder of `path` ("." for a bare name) and the name in it.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// The file `path` names once symbolic links are followed, as opening it would follow them; a link
// to a file that does not exist yet gives the name of that file. Throws on a loop of links.
std::string FollowLinks(std::string path);

// Makes `bytes` the whole content of the file `path` names, throwing the runtime's I/O failure
// at the step that fails:
// - a symbolic link is followed to the file it names, which is replaced; the link stays;
// - an existing file the user may not write, or one that is not a regular file, is refused with
//   "ﾌｧｲﾙへのｱｸｾｽが拒否されました" and left as it was; a replaced file keeps its permissions, a new
//   one gets those a plain create gives it;
// - the content goes to a temporary file in the file's own folder, flushed to disk and put in
//   place by a rename, then the folder is flushed too, so the file is always either the old or
//   the new content, also after a power cut once the save has succeeded;
// - the temporary file has no name until it is complete where the file system allows it, so that
//   a failed or killed save leaves nothing behind;
// - `beforeReplacing`, when given, is called with the file that is about to be replaced (links
//   followed) once the new content is complete and on disk, just before it takes the file's place.
void ReplaceFileContent(const std::string& path, const unsigned char* bytes, size_t size,
    const std::function<void(const std::string& target)>& beforeReplacing = {});
