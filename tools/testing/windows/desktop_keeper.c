/*
 * Keeps Wine's desktop open while the Windows tests run.
 *
 * Wine closes its desktop one second after the last program using it ends;
 * the next program then starts a new desktop process while the old one is
 * still going away, and SDL's first window in it can fail ("Unable to create
 * Helper Window: Invalid window handle"). This program is a user of the
 * desktop for as long as it runs: a hidden window that refuses WM_CLOSE.
 * ./dev windows starts it before the tests and ends the Wine session after.
 *
 *   desktop_keeper.exe READY_FILE    creates READY_FILE once its window exists
 */
#include <windows.h>

static LRESULT CALLBACK keeperProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int main(int argc, char* argv[]) {
    WNDCLASSW windowClass = {0};
    windowClass.lpfnWndProc = keeperProcedure;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"VantrelDesktopKeeper";
    if (RegisterClassW(&windowClass) == 0) {
        return 1;
    }
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, NULL,
                                  NULL, windowClass.hInstance, NULL);
    if (window == NULL) {
        return 1;
    }
    if (argc > 1) {
        HANDLE ready = CreateFileA(argv[1], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, NULL);
        if (ready != INVALID_HANDLE_VALUE) {
            CloseHandle(ready);
        }
    }
    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
