#include "tests/support/HeadlessShell.h"

namespace platform {

void HeadlessListView::ShowAnimation()
{
    animationShown = true;
    ++animationShows;
}

void HeadlessListView::HideAnimation()
{
    animationShown = false;
    ++animationHides;
}

void HeadlessListView::SuspendSelectionHandling(bool suspend)
{
    selectionSuspended = suspend;
    suspendCalls.push_back(suspend);
}

int ScriptedMessageBox::Show(const std::wstring& text, uint32_t style)
{
    asked.push_back(Asked{text, style});
    if (m_answers.empty())
        return kIdCancel;
    int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

HeadlessShell::HeadlessShell()
    : m_previousDocument(SetDocumentPort(m_document)),
      m_previousListView(SetListViewPort(m_listView)),
      m_previousMessageBox(SetMessageBoxPort(m_messageBox))
{
}

HeadlessShell::~HeadlessShell()
{
    SetMessageBoxPort(std::move(m_previousMessageBox));
    SetListViewPort(std::move(m_previousListView));
    SetDocumentPort(std::move(m_previousDocument));
}

} // namespace platform
