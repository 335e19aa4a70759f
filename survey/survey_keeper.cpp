#include "survey_keeper.h"


void SurveyKeeper::beginImage(const ImageFacts& facts)
{
    image = facts;
    disks.clear();
    anyTrack = false;
    anyTrackInFile = false;
    summary = {};
}

void SurveyKeeper::track(const TrackFacts& track)
{
    anyTrack = true;
    anyTrackInFile = anyTrackInFile || (track.usable && !disks.empty() && disks.back().offset + track.offset < image.size);
}

std::string SurveyKeeper::notAnImage() const
{
    return summary.notAnImage;
}
