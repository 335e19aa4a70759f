// Where d88cut puts its folders and files: the file system for the program,
// a stand-in that keeps nothing for the fuzz entry point.
#ifndef D88CUT_STORAGE_H
#define D88CUT_STORAGE_H

#include <cstddef>
#include <string>

class Storage {
public:
    // Makes the folder path and any folders above it that are missing; 0,
    // or the error number.
    virtual int makeFolder(const std::string& path) = 0;
    // Whether anything stands under name in folder (a file, a link, even a
    // broken one, or a folder).
    virtual bool holds(const std::string& folder, const std::string& name) = 0;
    // Puts size bytes of data under name in folder whole or not at all:
    // written under a temporary name first and renamed into place, so that
    // no partial file ever stands under name, and whatever stood there (a
    // link included, not what it points to) is replaced only by the
    // complete file. 0, or the error number of the first failure.
    virtual int writeWhole(const std::string& folder, const std::string& name, const unsigned char* data,
                           std::size_t size) = 0;

protected:
    ~Storage() = default;
};

// The file system.
class FileStorage final : public Storage {
public:
    int makeFolder(const std::string& path) override;
    bool holds(const std::string& folder, const std::string& name) override;
    int writeWhole(const std::string& folder, const std::string& name, const unsigned char* data,
                   std::size_t size) override;
};

#endif
