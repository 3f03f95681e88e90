/* A stand-in for our synthesizer library in the tool tests: the 23 entry points, a
   database that must exist on the host, and for each phoneme line "name ms ..." exactly
   ms x 16 samples of a constant value. Not a synthesizer: it lets the tests check what
   the engine does with what a library gives, without the real one or its voice. */
#include <stdio.h>
#include <stdlib.h>

static long pending;
static int ready;

int init_MBR(const char* path) {
    FILE* f = path != NULL ? fopen(path, "rb") : NULL;
    if (f == NULL) return -1;
    fclose(f);
    ready = 1;
    pending = 0;
    return 0;
}
int init_rename_MBR(const char* path, const char* renames, const char* clones) {
    (void)renames;
    (void)clones;
    return init_MBR(path);
}
int write_MBR(const char* line) {
    char name[64];
    double ms = 0;
    if (!ready || line == NULL) return -1;
    if (line[0] == ';' || sscanf(line, "%63s %lf", name, &ms) != 2) return 0;
    if (ms > 0 && ms < 100000) pending += (long)(ms * 16 + 0.5);
    return 0;
}
int flush_MBR(void) {
    return 0;
}
int read_MBR(short* samples, int wanted) {
    int n = pending < wanted ? (int)pending : wanted;
    for (int i = 0; i < n; ++i) samples[i] = 1000;
    pending -= n;
    return n;
}
int readtype_MBR(void* samples, int wanted, int type) {
    (void)type;
    return read_MBR((short*)samples, wanted);
}
int close_MBR(void) {
    ready = 0;
    return 0;
}
int reset_MBR(void) {
    pending = 0;
    return 0;
}
int lastError_MBR(void) {
    return 0;
}
int lastErrorStr_MBR(char* text, int capacity) {
    if (text != NULL && capacity > 0) text[0] = '\0';
    return 0;
}
int setNoError_MBR(int v) {
    (void)v;
    return 0;
}
int getNoError_MBR(void) {
    return 0;
}
int setFreq_MBR(int hz) {
    (void)hz;
    return 0;
}
int getFreq_MBR(void) {
    return 16000;
}
int setVolumeRatio_MBR(float r) {
    (void)r;
    return 0;
}
int getVolumeRatio_MBR(void) {
    return 1000;
}
int getVersion_MBR(char* text, int capacity) {
    return lastErrorStr_MBR(text, capacity);
}
int getDatabaseInfo_MBR(char* text, int capacity, int index) {
    (void)index;
    return lastErrorStr_MBR(text, capacity);
}
int setParser_MBR(void* parser) {
    return parser == NULL ? 0 : -1;
}
int init_Phone(const char* name, float ms) {
    (void)name;
    (void)ms;
    return -1;
}
int reset_Phone(int phone, const char* name, float ms) {
    (void)phone;
    (void)name;
    (void)ms;
    return -1;
}
int close_Phone(int phone) {
    (void)phone;
    return -1;
}
int appendf0_Phone(int phone, float percent, float hz) {
    (void)phone;
    (void)percent;
    (void)hz;
    return -1;
}
