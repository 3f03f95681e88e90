# The voice generator's own tests, and the check of the voice the build installed: index
# sorted and inside its data file, every recording present and well-formed, and no
# lookup of the rules' output on a sample of the word list that misses.
if(TARGET voice)
  add_test(NAME voice.generator
           COMMAND ${SONARA_VOICE_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/voice_test.py)
  add_test(NAME voice.installed
           COMMAND ${SONARA_VOICE_PYTHON} ${CMAKE_SOURCE_DIR}/tools/voice/check_voice.py
                   --diphones ${SONARA_DIPHONE_DIR} --letters ${SONARA_LETTERS_DIR}
                   --sonara $<TARGET_FILE:sonara>
                   --rules ${CMAKE_SOURCE_DIR}/data/diphone/regras.rgr
                   --exceptions ${CMAKE_SOURCE_DIR}/data/diphone/portug.exc
                   --words ${SONARA_WORD_LIST} --sample 3000)
  set_tests_properties(voice.generator voice.installed PROPERTIES LABELS unit TIMEOUT 300)
endif()
