#include "tests/win/support/modal_watcher.h"

#include "tests/capture/window_text.h"

#include <algorithm>
#include <chrono>

HICON StockIcon(LPCSTR id) { return LoadIconA(nullptr, id); }

SeenBox ReadBox(HWND window)
{
    SeenBox box;
    box.window = window;
    box.className = ClassName(window);
    box.caption = WindowText(window);
    box.style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    box.exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string childClass = ClassName(child);
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if (_stricmp(childClass.c_str(), "Button") == 0) {
            box.buttons.push_back(WindowText(child));
            box.buttonIds.push_back(GetDlgCtrlID(child));
            if ((style & 0x0F) == BS_DEFPUSHBUTTON)
                box.defaultButtonId = GetDlgCtrlID(child);
        } else if (_stricmp(childClass.c_str(), "Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON)
                box.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
            else if (box.text.empty())
                box.text = WindowText(child);
        }
    }
    return box;
}

ModalWatcher::ModalWatcher(int answer, DWORD processId)
    : m_processId(processId), m_answer(answer), m_thread([this] { Run(); })
{
}

ModalWatcher::~ModalWatcher()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ModalWatcher::SetAnswer(int answer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answer = answer;
}

std::vector<SeenBox> ModalWatcher::Boxes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boxes;
}

bool ModalWatcher::WaitForBoxes(size_t count, DWORD milliseconds) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return m_boxes.size() >= count; });
}

void ModalWatcher::Run()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_changed.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stop; }))
                return;
        }
        for (HWND window : TopLevelWindowsOf({m_processId})) {
            if (!IsWindowVisible(window) || ClassName(window) != "#32770")
                continue;
            int answer = 0;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (std::find(m_answered.begin(), m_answered.end(), window) != m_answered.end())
                    continue;
                answer = m_answer;
            }
            SeenBox box = ReadBox(window);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_answered.push_back(window);
                m_boxes.push_back(box);
            }
            m_changed.notify_all();
            if (answer != 0)
                PostMessageA(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        }
    }
}
