/* libjpeg-turbo's own API on the same pixels as bench/jpeg_bench.exe: reads a
 * binary PPM, compresses it to memory as BGR rows, 4:4:4 at the given quality
 * with the library's defaults otherwise, and prints each run's time in
 * milliseconds on one line:  <label> <ms> <ms> ... size=<bytes>
 * Usage: turbo_bench <ppm> <label> <runs> [quality]
 * Built and run by bench/jpeg_bench.sh (JSIMD_FORCESSE2=1 picks the SSE2 code). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <jpeglib.h>

static unsigned char* ReadPpm(const char* path, int* w, int* h) {
    FILE* f = fopen(path, "rb");
    int maxval = 0;
    if (!f || fscanf(f, "P6 %d %d %d", w, h, &maxval) != 3 || maxval != 255 || fgetc(f) == EOF) {
        fprintf(stderr, "cannot read %s\n", path);
        exit(1);
    }
    size_t n = (size_t)*w * (size_t)*h * 3;
    unsigned char* rgb = malloc(n);
    if (!rgb || fread(rgb, 1, n, f) != n) {
        fprintf(stderr, "short %s\n", path);
        exit(1);
    }
    fclose(f);
    for (size_t i = 0; i < n; i += 3) { /* our encoder's input is BGR: give the library the same */
        unsigned char t = rgb[i];
        rgb[i] = rgb[i + 2];
        rgb[i + 2] = t;
    }
    return rgb;
}

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: turbo_bench <ppm> <label> <runs> [quality]\n");
        return 2;
    }
    int w, h;
    unsigned char* bgr = ReadPpm(argv[1], &w, &h);
    const int runs = atoi(argv[3]);
    const int quality = argc > 4 ? atoi(argv[4]) : 90;
    JSAMPROW* rows = malloc(sizeof(JSAMPROW) * (size_t)h);
    for (int y = 0; y < h; ++y) rows[y] = bgr + (size_t)y * (size_t)w * 3;
    unsigned char* out = NULL;
    unsigned long size = 0;
    printf("%s", argv[2]);
    for (int i = 0; i < runs; ++i) {
        struct jpeg_compress_struct c;
        struct jpeg_error_mgr err;
        const double t0 = Now();
        c.err = jpeg_std_error(&err);
        jpeg_create_compress(&c);
        jpeg_mem_dest(&c, &out, &size);
        c.image_width = (JDIMENSION)w;
        c.image_height = (JDIMENSION)h;
        c.input_components = 3;
        c.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, quality, TRUE);
        for (int k = 0; k < 3; ++k) c.comp_info[k].h_samp_factor = c.comp_info[k].v_samp_factor = 1;
        jpeg_start_compress(&c, TRUE);
        jpeg_write_scanlines(&c, rows, (JDIMENSION)h);
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
        const double t1 = Now();
        printf(" %.3f", (t1 - t0) * 1000);
        if (i + 1 < runs) {
            free(out);
            out = NULL;
            size = 0;
        }
    }
    printf(" size=%lu\n", size);
    free(out);
    free(rows);
    free(bgr);
    return 0;
}
