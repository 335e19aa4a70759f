/* A C program outside the tree that uses the installed C API: prints the
 * image's disk count, its status in the report and how many files a cut
 * gives, "3 disks, ok, 21 files". */
#include <d88image/d88.h>

#include <stdio.h>
#include <string.h>

int main(int argc, char** argv)
{
    d88_image* image = NULL;
    char* report = NULL;
    d88_cut* cut = NULL;
    d88_status status;
    if (argc != 2) {
        return 2;
    }
    status = d88_open_path(argv[1], &image);
    if (status == D88_OK) {
        status = d88_report_json(image, &report, NULL);
    }
    if (status == D88_OK) {
        status = d88_cut_image(image, D88_CUT_AUTO, &cut);
    }
    if (status != D88_OK) {
        fprintf(stderr, "%s: %s\n", d88_status_text(status), d88_image_error(image));
        d88_close(image);
        return 1;
    }
    printf("%d disks, %s, %lu files\n", d88_disk_count(image),
           strstr(report, "\"status\": \"ok\"") != NULL ? "ok" : "not ok", (unsigned long)cut->file_count);
    d88_cut_free(cut);
    d88_text_free(report);
    d88_close(image);
    return 0;
}
