#include "app/testing/scripted_dialogs_win.h"

namespace {

template <typename T>
T TakeOr(std::deque<T>& queue, T fallback) {
  if (queue.empty()) return fallback;
  T answer = std::move(queue.front());
  queue.pop_front();
  return answer;
}

}  // namespace

int ScriptedDialogs::ShowMessage(HWND owner, std::u16string_view text, std::u16string_view caption,
                                 UINT style) {
  messages.push_back(ShownMessage{std::u16string(text), std::u16string(caption), style, owner});
  return TakeOr(messageAnswers, IDOK);
}

std::optional<std::u16string> ScriptedDialogs::BrowseForFolder(HWND, std::u16string_view title,
                                                               std::u16string_view) {
  folderBrowserTitles.emplace_back(title);
  return TakeOr(folderAnswers, std::optional<std::u16string>());
}

std::optional<std::u16string> ScriptedDialogs::OpenFile(HWND, const OpenFileRequest& request) {
  openFileRequests.push_back(request);
  return TakeOr(fileAnswers, std::optional<std::u16string>());
}
