// The image's condition and its anomalies, from the survey d88info runs,
// kept by the report writer that keeps findings (as d88cut keeps them).
#include "image_handle.h"

#include "image_survey.h"
#include "survey_keeper.h"

#include <new>

struct d88_anomaly {
    Anomaly found;
};

struct d88_survey {
    d88_condition condition = D88_CONDITION_UNREADABLE;
    std::string error;
    std::vector<d88_anomaly> anomalies;
    std::size_t leftOut = 0;
};

namespace {

d88_condition conditionOf(ImageStatus status)
{
    switch (status) {
    case ImageStatus::Ok:
        return D88_CONDITION_OK;
    case ImageStatus::Damaged:
        return D88_CONDITION_DAMAGED;
    case ImageStatus::Unreadable:
        break;
    }
    return D88_CONDITION_UNREADABLE;
}

}  // namespace

extern "C" {

const char* d88_condition_key(d88_condition condition)
{
    switch (passedValue(condition)) {
    case D88_CONDITION_OK:
        return statusName(ImageStatus::Ok);
    case D88_CONDITION_DAMAGED:
        return statusName(ImageStatus::Damaged);
    case D88_CONDITION_UNREADABLE:
        return statusName(ImageStatus::Unreadable);
    case D88_CONDITION_NOT_AN_IMAGE:
        return "not-an-image";
    }
    return "unknown";
}

const char* d88_severity_key(d88_severity severity)
{
    switch (passedValue(severity)) {
    case D88_SEVERITY_NOTE:
        return "note";
    case D88_SEVERITY_DAMAGE:
        return "damage";
    }
    return "unknown";
}

d88_status d88_survey_image(d88_image* image, d88_survey** survey)
{
    if (survey != nullptr) {
        *survey = nullptr;
    }
    if (image == nullptr || survey == nullptr) {
        return D88_ERR_ARGUMENT;
    }
    d88_survey* made = new (std::nothrow) d88_survey();
    if (made == nullptr) {
        return fail(image, D88_ERR_MEMORY, "no memory for the survey");
    }
    SurveyKeeper keeper;
    ImageSurvey run(keeper);
    const ImageStatus status = run.survey(image->input);
    made->condition = conditionOf(status);
    if (!keeper.notAnImage().empty()) {
        made->condition = D88_CONDITION_NOT_AN_IMAGE;
        made->error = keeper.notAnImage();
    } else if (status == ImageStatus::Unreadable) {
        made->error = run.lastError();
    }
    made->anomalies.reserve(keeper.summary.anomalies.size());
    for (Anomaly& anomaly : keeper.summary.anomalies) {
        made->anomalies.push_back({std::move(anomaly)});
    }
    made->leftOut = keeper.summary.anomaliesLeftOut;
    *survey = made;
    return succeed(image);
}

void d88_survey_free(d88_survey* survey)
{
    delete survey;
}

d88_condition d88_survey_condition(const d88_survey* survey)
{
    return survey != nullptr ? survey->condition : D88_CONDITION_UNREADABLE;
}

const char* d88_survey_error(const d88_survey* survey)
{
    return survey != nullptr ? survey->error.c_str() : "";
}

size_t d88_survey_anomaly_count(const d88_survey* survey)
{
    return survey != nullptr ? survey->anomalies.size() : 0;
}

size_t d88_survey_anomalies_left_out(const d88_survey* survey)
{
    return survey != nullptr ? survey->leftOut : 0;
}

const d88_anomaly* d88_survey_anomaly(const d88_survey* survey, size_t index)
{
    return index < d88_survey_anomaly_count(survey) ? &survey->anomalies[index] : nullptr;
}

const char* d88_anomaly_kind(const d88_anomaly* anomaly)
{
    return anomaly != nullptr ? anomaly->found.kind.c_str() : "";
}

d88_severity d88_anomaly_severity(const d88_anomaly* anomaly)
{
    return anomaly != nullptr && anomaly->found.damage ? D88_SEVERITY_DAMAGE : D88_SEVERITY_NOTE;
}

const char* d88_anomaly_message(const d88_anomaly* anomaly)
{
    return anomaly != nullptr ? anomaly->found.message.c_str() : "";
}

int d88_anomaly_disk(const d88_anomaly* anomaly)
{
    return anomaly != nullptr ? anomaly->found.disk : -1;
}

int d88_anomaly_track(const d88_anomaly* anomaly)
{
    return anomaly != nullptr ? anomaly->found.track : -1;
}

long long d88_anomaly_offset(const d88_anomaly* anomaly)
{
    return anomaly != nullptr ? anomaly->found.position : -1;
}

}  // extern "C"
