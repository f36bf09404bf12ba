# Core suites: memo store, configuration file, outline tree structure, shared helpers.
jotterly_add_test(tst_store SOURCES tst_store.cpp LIBS jotterly_store jotterly_core)
jotterly_add_test(tst_inifile SOURCES tst_inifile.cpp LIBS jotterly_core)
# OutlineTree needs no screen, but its library carries the outline view too.
jotterly_add_test(tst_outlinetree SOURCES tst_outlinetree.cpp LIBS jotterly_outline)
# The 100,000-node case guards against quadratic work through this time-out.
set_tests_properties(tst_outlinetree PROPERTIES TIMEOUT 60)
# Shared helpers, message boxes and the memo text order.
jotterly_add_test(tst_apphelpers SOURCES tst_apphelpers.cpp LIBS jotterly_core jotterly_memotree jotterly_desktopcore)

# The outline view on its own (offscreen).
jotterly_add_test(tst_outlineview SOURCES tst_outlineview.cpp LIBS jotterly_outline)
# The single-instance guard: lock and socket places, failures reported (no screen).
jotterly_add_test(tst_singleinstance SOURCES tst_singleinstance.cpp LIBS jotterly_platform jotterly_core)
