/*
 * tests/fuzz/replay_main.cpp -- runs a fuzz target over the files of its
 * checked-in corpus once each, so a finding fixed once stays fixed in every
 * `make test`. Built with the host compiler and its sanitizers instead of
 * libFuzzer; a failed check or a sanitizer report ends the program.
 *   replay DIR_OR_FILE...
 */
#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzzcommon.h"

/* Targets without their own initialiser get this one. */
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

static void fnCollect(const std::string &strPath, std::vector<std::string> &files)
{
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0)
        return;
    if (!S_ISDIR(st.st_mode)) {
        files.push_back(strPath);
        return;
    }
    DIR *lpDir = opendir(strPath.c_str());
    if (!lpDir)
        return;
    while (struct dirent *lpEnt = readdir(lpDir)) {
        std::string strName = lpEnt->d_name;
        if (strName != "." && strName != "..")
            fnCollect(strPath + "/" + strName, files);
    }
    closedir(lpDir);
}

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::string> files;
    for (int i = 1; i < argc; i++)
        fnCollect(argv[i], files);
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        fprintf(stderr, "replay: no corpus files found\n");
        return 1;
    }
    for (const std::string &strFile : files) {
        FILE *f = fopen(strFile.c_str(), "rb");
        if (!f) {
            fprintf(stderr, "replay: cannot read %s\n", strFile.c_str());
            return 1;
        }
        std::string data;
        char ab[4096];
        size_t n;
        while ((n = fread(ab, 1, sizeof(ab), f)) > 0)
            data.append(ab, n);
        fclose(f);
        /* named before it runs, so a failure's output says which input it was */
        printf("%s\n", strFile.c_str());
        fflush(stdout);
        /* a copy of exactly the input's size, as libFuzzer hands it over */
        uint8_t *lpData = (uint8_t *)malloc(data.size() ? data.size() : 1);
        memcpy(lpData, data.data(), data.size());
        LLVMFuzzerTestOneInput(lpData, data.size());
        free(lpData);
    }
    printf("replay: %zu inputs, no findings\n", files.size());
    return 0;
}
