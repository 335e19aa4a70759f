// Where an extraction puts its folders and files: the file system for
// d88cut, a stand-in that keeps nothing for the fuzz entry point.
#ifndef EXTRACTION_STORAGE_H
#define EXTRACTION_STORAGE_H

#include <cstddef>
#include <string>

class Storage {
public:
    // Makes the folder path and any folders above it that are missing; 0,
    // or the error number.
    virtual int makeFolder(const std::string& path) = 0;
    enum class Presence { Absent, Present, Unknown };
    // Whether anything stands under name in folder (a file, a link, even a
    // broken one, or a folder); Unknown, with error set, when that cannot be
    // told (a folder without search permission).
    virtual Presence holds(const std::string& folder, const std::string& name, int& error) = 0;
    // Puts size bytes of data under name in folder whole or not at all:
    // written under a temporary name first and moved into place, so that no
    // partial file ever stands under name. With replace, whatever stood
    // there (a link included, not what it points to) gives way to the
    // complete file; without, the move fails with EEXIST if anything stands
    // there by then. 0, or the error number of the first failure.
    virtual int writeWhole(const std::string& folder, const std::string& name, const unsigned char* data,
                           std::size_t size, bool replace) = 0;
    // Removes the file name from folder; 0, or the error number.
    virtual int remove(const std::string& folder, const std::string& name) = 0;

protected:
    ~Storage() = default;
};

#endif
