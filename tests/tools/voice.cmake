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

# The voice br4: the generator's tests, the diphone list in step with the inventory, and
# the check of the built voice against its format.
if(TARGET voice_br4)
  add_test(NAME voice.br4_generator
           COMMAND ${SONARA_VOICE_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/br4_test.py)
  add_test(NAME voice.br4_dfn
           COMMAND ${SONARA_VOICE_PYTHON} ${CMAKE_SOURCE_DIR}/tools/voice/make_br4.py
                   --phonemes ${SONARA_TAVENA_PHONEMES}
                   --dfn ${CMAKE_SOURCE_DIR}/data/tavena/portug.dfn --check)
  add_test(NAME voice.br4_installed
           COMMAND ${SONARA_VOICE_PYTHON} ${CMAKE_SOURCE_DIR}/tools/voice/check_br4.py
                   --voice ${SONARA_BR4_VOICE} --phonemes ${SONARA_TAVENA_PHONEMES})
  set_tests_properties(voice.br4_generator voice.br4_dfn voice.br4_installed
                       PROPERTIES LABELS unit TIMEOUT 300)
endif()
