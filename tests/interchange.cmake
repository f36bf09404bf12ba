# Backup, restore, import, the Confirm Replace dialog and the memo export.
jotterly_add_test(tst_dmio SOURCES tst_dmio.cpp LIBS jotterly_io)
target_include_directories(tst_dmio PRIVATE ${PROJECT_SOURCE_DIR}/src/memotree)
