# Parsers of the Linux sound and clip back end.
sonara_add_fuzz(fuzz_wav_image SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/wav_image.cpp LIBS sonara_platform)
sonara_add_fuzz(fuzz_mci_command SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/mci_command.cpp LIBS sonara_platform)
