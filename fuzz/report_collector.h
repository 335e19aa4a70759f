// A report output for the fuzz entry points: keeps the report, to be
// checked, or with keep false only takes it.
#ifndef FUZZ_REPORT_COLLECTOR_H
#define FUZZ_REPORT_COLLECTOR_H

#include "report_output.h"

#include <string>

class ReportCollector final : public ReportOutput {
public:
    bool write(std::string_view piece) override
    {
        if (keep) {
            text.append(piece);
        }
        return true;
    }
    bool flush() override { return true; }
    int error() const override { return 0; }

    bool keep = true;
    std::string text;
};

#endif
