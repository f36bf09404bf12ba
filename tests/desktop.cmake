# Desktop integration: tray icon (against a fake tray service), window placement, the
# start entry, the Options dialog and the web commands; the main window's tray steps.
jotterly_add_test(tst_desktop SOURCES tst_desktop.cpp LIBS jotterly_app)
