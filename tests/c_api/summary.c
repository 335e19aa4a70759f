/* A C program outside the tree that uses the installed C API: prints the
 * image's disk count, its condition from the survey and how many files a
 * cut gives, "3 disks, ok, 21 files", and fails to build against headers of
 * another release than the library's. */
#include <d88image/d88.h>

#include <stdio.h>
#include <string.h>

#if D88_VERSION_NUMBER != D88_VERSION_MAJOR * 10000 + D88_VERSION_MINOR * 100 + D88_VERSION_PATCH
#error "the version macros disagree"
#endif

int main(int argc, char** argv)
{
    d88_image* image = NULL;
    d88_survey* survey = NULL;
    d88_cut* cut = NULL;
    d88_status status;
    if (argc != 2 || strcmp(d88_version(), D88_VERSION_STRING) != 0) {
        return 2;
    }
    status = d88_open_path(argv[1], &image);
    if (status == D88_OK) {
        status = d88_survey_image(image, &survey);
    }
    if (status == D88_OK) {
        status = d88_cut_image(image, NULL, &cut);
    }
    if (status != D88_OK) {
        fprintf(stderr, "%s: %s\n", d88_status_text(status), d88_image_error(image));
        d88_survey_free(survey);
        d88_close(image);
        return 1;
    }
    printf("%d disks, %s, %lu files\n", d88_disk_count(image), d88_condition_key(d88_survey_condition(survey)),
           (unsigned long)d88_cut_file_count(cut));
    d88_cut_free(cut);
    d88_survey_free(survey);
    d88_close(image);
    return 0;
}
