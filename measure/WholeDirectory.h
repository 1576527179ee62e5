// A directory that appears whole or not at all: the capture's files. They go
// into a fresh directory beside the target, which takes its place at
// commit(). Each such directory holds a marker, ".glintmoth-files", naming
// everything written into it, and an existing target is replaced only when it
// is empty or holds nothing else: one more file, a link or a hidden .git
// refuses it, so that a mistyped name never wipes a directory of other files,
// not even one with a summary.json in it. The marker names each file before
// it is written, so that what a killed run left (a temporary name, see
// WholeFile.h) is recognised and removed by the next write beside it.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace Vellumar::measure {

class WholeDirectory {
public:
    // Checks the target and makes the fresh directory; `kind` names what is
    // written for the refusal of a directory of other files ("not an earlier
    // capture"). Failures here and below are WriteErrors.
    WholeDirectory(const std::string& path, std::string kind);
    ~WholeDirectory(); // removes what was not committed
    WholeDirectory(const WholeDirectory&) = delete;
    WholeDirectory& operator=(const WholeDirectory&) = delete;

    // One file, "name" or "folder/name".
    void writeFile(const std::string& name, std::string_view bytes);
    // The fresh directory takes the target's place; an earlier one is removed.
    void commit();

    // Throws unless a directory may be written at `path`: a writable
    // directory (no link), or a new name in one.
    static void checkTarget(const std::string& path);

private:
    // checkTarget(), and the target holds nothing but what a write of ours put there.
    void checkReplaceable() const;
    // Adds a name to the marker, before what it names exists.
    void mark(const std::string& written);

    std::string target;
    std::string kind;
    std::string fresh;
    std::set<std::string> named;
};

} // namespace Vellumar::measure
