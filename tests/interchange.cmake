# The interchange engine without a screen: backup, restore, import and the memo export,
# with the questions answered by ScriptedQuestions.
jotterly_add_test(tst_dmio SOURCES tst_dmio.cpp ScriptedQuestions.h LIBS jotterly_io)
target_include_directories(tst_dmio PRIVATE ${PROJECT_SOURCE_DIR}/src/memotree)
# The interchange dialogs, offscreen: Confirm Replace, the file dialogs and DialogQuestions.
jotterly_add_test(tst_interchangedialogs SOURCES tst_interchangedialogs.cpp LIBS jotterly_io)
