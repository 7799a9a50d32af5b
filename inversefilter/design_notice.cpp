#include "inversefilter/design_notice.h"

void noticeFailure(DesignNotice* notice, DesignFailure why, LPCSTR text, LPCSTR caption,
                   UINT type) {
  MessageBoxA(notice != nullptr ? notice->owner : nullptr, text, caption, type);
  if (notice != nullptr && notice->failure == kDesignDone) notice->failure = why;
}
