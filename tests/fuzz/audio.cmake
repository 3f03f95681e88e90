# Parsers of the Linux sound and clip back end.
sonara_add_fuzz(fuzz_wav_image SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/wav_image.cpp LIBS sonara_platform)
