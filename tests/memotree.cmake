# The memo tree frame, driven offscreen as a user would.
jotterly_add_test(tst_memoload SOURCES memotree/tst_memoload.cpp memotree/MemoFrameFixture.h
  LIBS jotterly_memotree)
jotterly_add_test(tst_memoedit SOURCES memotree/tst_memoedit.cpp memotree/MemoFrameFixture.h
  LIBS jotterly_memotree)
jotterly_add_test(tst_memoorganize SOURCES memotree/tst_memoorganize.cpp memotree/MemoFrameFixture.h
  LIBS jotterly_memotree)
jotterly_add_test(tst_memooutput SOURCES memotree/tst_memooutput.cpp memotree/MemoFrameFixture.h
  LIBS jotterly_memotree Qt6::PrintSupport)
foreach(t tst_memoload tst_memoedit tst_memoorganize tst_memooutput)
  target_include_directories(${t} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/memotree)
endforeach()
jotterly_add_test(tst_searchindex SOURCES memotree/tst_searchindex.cpp LIBS jotterly_memotree)
