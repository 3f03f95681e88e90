# Parsers of the platform layer and the simulated machine.
sonara_add_fuzz(fuzz_profile SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/profile.cpp LIBS sonara_platform)
sonara_add_fuzz(fuzz_sim_script SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/sim_script.cpp LIBS sonara_platform)
