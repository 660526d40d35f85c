// Watches a rectangle of the X screen for red text, the way a person would see
// the notice line appear. Prints "ready" once it reads the screen, then, when
// at least MIN red pixels show, keeps watching SETTLE seconds and prints
// "first T last T count N": the first moment red showed and the last moment
// the red pixels changed, on CLOCK_MONOTONIC (Python's time.monotonic()).
//
// usage: bench_noticewait X Y WIDTH HEIGHT [MIN=50] [SETTLE=1.0] [TIMEOUT=60]

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};

struct Disconnect {
    void operator()(xcb_connection_t *c) const { xcb_disconnect(c); }
};

double now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void pause(double seconds)
{
    const timespec ts{0, long(seconds * 1e9)};
    nanosleep(&ts, nullptr);
}

// One bit per pixel of the rectangle: bright red with little green and blue.
// An empty vector if the screen could not be read.
std::vector<bool> redMask(xcb_connection_t *c, xcb_window_t root, int x, int y, int w, int h)
{
    std::unique_ptr<xcb_get_image_reply_t, FreeDeleter> image(xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(x), int16_t(y), uint16_t(w), uint16_t(h), ~0u),
        nullptr));
    if (!image || xcb_get_image_data_length(image.get()) < 4 * w * h)
        return {};
    const uint8_t *p = xcb_get_image_data(image.get());  // B G R X on a 24-bit little-endian screen
    std::vector<bool> mask(size_t(w) * size_t(h));
    for (size_t i = 0; i < mask.size(); ++i, p += 4)
        mask[i] = p[2] > 200 && p[1] < 80 && p[0] < 80;
    return mask;
}

long count(const std::vector<bool> &mask)
{
    long n = 0;
    for (bool b : mask)
        n += b;
    return n;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT [MIN] [SETTLE] [TIMEOUT]\n", argv[0]);
        return 2;
    }
    const int x = std::atoi(argv[1]), y = std::atoi(argv[2]), w = std::atoi(argv[3]), h = std::atoi(argv[4]);
    const long minimum = argc > 5 ? std::atol(argv[5]) : 50;
    const double settle = argc > 6 ? std::atof(argv[6]) : 1.0;
    const double timeout = argc > 7 ? std::atof(argv[7]) : 60.0;
    const double interval = 0.004;

    std::unique_ptr<xcb_connection_t, Disconnect> c(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(c.get())) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c.get())).data->root;
    if (redMask(c.get(), root, x, y, w, h).empty()) {
        std::fprintf(stderr, "cannot read the screen there\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    const double deadline = now() + timeout;
    std::vector<bool> mask;
    while ((mask = redMask(c.get(), root, x, y, w, h)), count(mask) < minimum) {
        if (now() > deadline) {
            std::printf("timeout\n");
            return 1;
        }
        pause(interval);
    }
    const double first = now();
    double last = first;
    while (now() < first + settle) {
        pause(interval);
        std::vector<bool> next = redMask(c.get(), root, x, y, w, h);
        if (next != mask) {
            last = now();
            mask = std::move(next);
        }
    }
    std::printf("first %.6f last %.6f count %ld\n", first, last, count(mask));
    return 0;
}
