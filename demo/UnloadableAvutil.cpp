// A library named as FFmpeg's libavutil that holds none of its functions: put first in the
// library search, it makes FFmpeg impossible to load, as on a machine without it.
extern "C" {
int vesk_unloadable_avutil = 0;
}
