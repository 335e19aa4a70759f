#include "survey_keeper.h"

void SurveyKeeper::beginImage(const ImageFacts& facts)
{
    image = facts;
    disks.clear();
    summary = {};
}

std::string SurveyKeeper::notAnImage() const
{
    return summary.notAnImage;
}
