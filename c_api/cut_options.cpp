// The setters of a cut's options; each refuses what d88cut's command line
// refuses, leaving the options as they were.
#include "cut_options.h"

#include "cutters.h"

#include <new>

extern "C" {

d88_cut_options* d88_cut_options_new(void)
{
    return new (std::nothrow) d88_cut_options();
}

void d88_cut_options_free(d88_cut_options* options)
{
    delete options;
}

d88_status d88_cut_options_set_mode(d88_cut_options* options, const char* mode)
{
    if (options == nullptr || !cutterOfKey(mode, options->cutter)) {
        return D88_ERR_ARGUMENT;
    }
    return D88_OK;
}

d88_status d88_cut_options_add_folder(d88_cut_options* options, const char* folder)
{
    if (options == nullptr || folder == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    options->folders.push_back(folder);
    return D88_OK;
}

d88_status d88_cut_options_add_image(d88_cut_options* options, d88_image* image)
{
    if (options == nullptr || image == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    options->images.push_back(image);
    options->merge = true;
    return D88_OK;
}

d88_status d88_cut_options_set_merge(d88_cut_options* options, int merge)
{
    if (options == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    options->merge = merge != 0;
    return D88_OK;
}

d88_status d88_cut_options_set_merged_name(d88_cut_options* options, const char* name)
{
    if (options == nullptr || name == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    const std::string given(name);
    if (given == "." || given == ".." || given.find_first_of("/\\") != std::string::npos) {
        return D88_ERR_ARGUMENT;
    }
    options->mergedName = given;
    return D88_OK;
}

}  // extern "C"
