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

// The file system.
class FileStorage final : public Storage {
public:
    int makeFolder(const std::string& path) override;
    Presence holds(const std::string& folder, const std::string& name, int& error) override;
    int writeWhole(const std::string& folder, const std::string& name, const unsigned char* data, std::size_t size,
                   bool replace) override;
    int remove(const std::string& folder, const std::string& name) override;
};

#endif
