# The interchange engine without a screen: backup, restore, import and the memo export,
# with the questions answered by ScriptedQuestions.
jotterly_add_test(tst_dmio SOURCES tst_dmio.cpp ScriptedQuestions.h LIBS jotterly_interchange)
# The interchange dialogs, offscreen: Confirm Replace, the file dialogs and DialogQuestions.
jotterly_add_test(tst_interchangedialogs SOURCES tst_interchangedialogs.cpp LIBS jotterly_interchange_ui)
# The memo tree's export order and what the export writes of it, without a screen.
jotterly_add_test(tst_memoexportorder SOURCES tst_memoexportorder.cpp ScriptedQuestions.h LIBS jotterly_memotree)
# The text and HTML listings, byte for byte against files in tests/data/listings.
jotterly_add_test(tst_listing SOURCES tst_listing.cpp LIBS jotterly_interchange)
target_compile_definitions(tst_listing PRIVATE JOTTERLY_LISTINGS_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data/listings")
