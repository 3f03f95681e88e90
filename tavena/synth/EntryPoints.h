// The entry points of our phoneme-line synthesizer library, as the engine resolves them
// by name. Every one returns a 32-bit integer; negative results are failures.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Opens the voice database at the path; 0 when ready, negative when it cannot.
int init_MBR(const char* databasePath);
// The same; rename and clone lists are not supported and must be empty or null.
int init_rename_MBR(const char* databasePath, const char* renames, const char* clones);
// One or more phoneme lines ("name ms [percent Hz]...", ";" comments); 0 or more on success.
int write_MBR(const char* lines);
// Makes all pending sound readable, as if a pause followed.
int flush_MBR(void);
// Up to `wanted` 16-bit mono samples at the output rate; 0 when nothing is ready.
int read_MBR(short* samples, int wanted);
// read_MBR for a sample type: 0 16-bit signed, 1 8-bit unsigned, 2 32-bit float.
int readtype_MBR(void* samples, int wanted, int sampleType);
// Releases the database.
int close_MBR(void);
// Forgets every pending phoneme and sample.
int reset_MBR(void);
// The last error's number (0: none) and its text.
int lastError_MBR(void);
int lastErrorStr_MBR(char* text, int capacity);
// Non-zero: a phoneme or pair missing from the voice gives silence and a lastError only;
// zero: write_MBR also answers negative for it. Returns the previous value.
int setNoError_MBR(int noError);
int getNoError_MBR(void);
// Output sample rate (the voice's own rate by default).
int setFreq_MBR(int hertz);
int getFreq_MBR(void);
// Output gain; getVolumeRatio_MBR answers it in thousandths.
int setVolumeRatio_MBR(float ratio);
int getVolumeRatio_MBR(void);
// Version text, and the database's description line by line (index from 0).
int getVersion_MBR(char* text, int capacity);
int getDatabaseInfo_MBR(char* text, int capacity, int index);
// Not supported: answers negative unless the parser is null (the built-in reader).
int setParser_MBR(void* parser);
// A phoneme built in memory instead of a text line: a handle (> 0), or negative.
int init_Phone(const char* name, float milliseconds);
int reset_Phone(int phone, const char* name, float milliseconds);
int close_Phone(int phone);
int appendf0_Phone(int phone, float percent, float hertz);

#ifdef __cplusplus
}
#endif
