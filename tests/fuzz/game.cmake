# The letter game's script extensions and transcript helpers.
if(TARGET sonara_game_simulate)
  sonara_add_fuzz(fuzz_pipoco_script SOURCE pipoco_script.cpp
                  LIBS sonara_game_simulate sonara_game sonara_process sonara_console
                       sonara_speech sonara_platform)
endif()
