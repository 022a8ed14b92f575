/* Benchmark peer: the same loads and writes through libplist, timed in-process.
 *   libplist_peer load FILE            parses FILE (XML or binary), prints the seconds
 *   libplist_peer write FILE xml|bin   parses FILE, then prints the seconds to write it in that format
 */
#include <plist/plist.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static char *readWhole(const char *path, long *size)
{
    FILE *file = fopen(path, "rb");
    if (!file)
        return NULL;
    fseek(file, 0, SEEK_END);
    *size = ftell(file);
    fseek(file, 0, SEEK_SET);
    char *bytes = malloc((size_t)*size);
    if (bytes && fread(bytes, 1, (size_t)*size, file) != (size_t)*size) {
        free(bytes);
        bytes = NULL;
    }
    fclose(file);
    return bytes;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: libplist_peer load FILE | write FILE xml|bin\n");
        return 1;
    }
    long size = 0;
    char *bytes = readWhole(argv[2], &size);
    if (!bytes) {
        fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }
    plist_t root = NULL;
    const double start = now();
    if (size >= 8 && memcmp(bytes, "bplist00", 8) == 0)
        plist_from_bin(bytes, (uint32_t)size, &root);
    else
        plist_from_xml(bytes, (uint32_t)size, &root);
    const double loaded = now();
    free(bytes);
    if (!root) {
        fprintf(stderr, "libplist could not parse %s\n", argv[2]);
        return 1;
    }
    if (strcmp(argv[1], "load") == 0) {
        printf("load %.3f s\n", loaded - start);
    } else if (argc >= 4) {
        char *out = NULL;
        uint32_t length = 0;
        const double begin = now();
        if (strcmp(argv[3], "xml") == 0)
            plist_to_xml(root, &out, &length);
        else
            plist_to_bin(root, &out, &length);
        printf("write %s %.3f s (%u bytes)\n", argv[3], now() - begin, length);
        free(out);
    }
    plist_free(root);
    return 0;
}
