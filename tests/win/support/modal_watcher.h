// Answers the modal boxes that a test causes, so that no test can hang on one: a thread
// finds each dialog box of the watched process, records what a person would see and
// presses the button the test chose.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenBox {
    HWND window = nullptr;
    std::string className;
    std::string caption;
    std::string text;                  // the static text of a message box
    std::vector<std::string> buttons;  // button captions in tab order
    std::vector<int> buttonIds;
    int defaultButtonId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    HICON icon = nullptr;              // the message box's icon, compare with StockIcon()
};

// The shared system icon the platform shows for IDI_ERROR, IDI_QUESTION and the others.
HICON StockIcon(LPCSTR id);

// Reads a top-level dialog as a person sees it.
SeenBox ReadBox(HWND window);

class ModalWatcher {
public:
    // answer: the button identifier to press (IDOK, IDYES, IDNO...); 0 leaves the box open.
    explicit ModalWatcher(int answer, DWORD processId = GetCurrentProcessId());
    ~ModalWatcher();
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

    void SetAnswer(int answer);
    std::vector<SeenBox> Boxes() const;
    // Waits until count boxes were seen; false after the time limit.
    bool WaitForBoxes(size_t count, DWORD milliseconds) const;

private:
    void Run();

    DWORD m_processId;
    int m_answer;
    bool m_stop = false;
    std::vector<HWND> m_answered;
    std::vector<SeenBox> m_boxes;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::thread m_thread;
};
