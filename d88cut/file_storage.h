// The file system as d88cut's storage.
#ifndef D88CUT_FILE_STORAGE_H
#define D88CUT_FILE_STORAGE_H

#include "storage.h"

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
