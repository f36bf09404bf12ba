# The memo tree's looks and commands: painting, tip panel, status bar, command state,
# keys, menus and the clipboard, driven offscreen.
jotterly_add_test(tst_memopaint SOURCES memotree/tst_memopaint.cpp memotree/MemoFrameFixture.h
  LIBS jotterly_memotree)
jotterly_add_test(tst_memocommands SOURCES memotree/tst_memocommands.cpp memotree/MemoFrameFixture.h
  LIBS jotterly_memotree)
foreach(t tst_memopaint tst_memocommands)
  target_include_directories(${t} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/memotree)
endforeach()
