// A movie file as the filter graph opens it: the container probed and its streams' decoders
// opened (which decodes the first pictures), the frame size checked against the screen's.
#include <cstdlib>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "platform/dshow/MoviePipeline.h"

namespace {

class NullSink : public platform::MovieSink
{
public:
    void RenderSample(IMediaSample*) override {}
    void OnComplete() override {}
};

} // namespace

int FuzzMovieContainer(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    WriteFuzzFile("movie.mpg", data, size);
    NullSink sink;
    platform::MoviePipeline pipeline(sink);
    if (pipeline.Open(nullptr, size > 0 && data[0] == 0, FuzzScratchFolder() + "/movie.mpg") != S_OK)
        return 0;
    if (pipeline.HasVideo() &&
        (pipeline.Width() <= 0 || pipeline.Height() <= 0 || pipeline.Width() > platform::MAX_MOVIE_WIDTH ||
         pipeline.Height() > platform::MAX_MOVIE_HEIGHT))
        std::abort();
    return 0;
}
