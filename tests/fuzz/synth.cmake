# Our synthesizer library's phoneme-line reader and voice loader over arbitrary bytes (the
# static twin of the library, so the fuzzers call them directly).
sonara_add_fuzz(fuzz_synth_lines SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/synth_lines.cpp LIBS sonara_synth_core)
sonara_add_fuzz(fuzz_synth_voice SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/synth_voice_file.cpp LIBS sonara_synth_core)
