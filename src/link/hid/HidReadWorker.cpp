#include "HidReadWorker.h"

#include <cerrno>
#include <vector>

namespace {
// Short enough for a quick stop, long enough that an idle reader costs nothing.
constexpr int PollMilliseconds = 100;
// The kernel's largest HID report; hidraw cuts a report to the buffer given.
constexpr size_t MaxReportBytes = 16384;
} // namespace

THidReadWorker::THidReadWorker(hid_device* handle, QObject* parent)
    : QObject(parent), Handle(handle) {}

void THidReadWorker::Run() {
    std::vector<unsigned char> buffer(MaxReportBytes);
    while (!StopRequested.load()) {
        errno = 0;
        const int count = hid_read_timeout(Handle, buffer.data(), buffer.size(), PollMilliseconds);
        if (count > 0) {
            emit Report(QByteArray(reinterpret_cast<const char*>(buffer.data()), count));
        } else if (count < 0) {
            // A signal landing on this thread interrupts the poll; that is no failure.
            if (errno == EINTR)
                continue;
            emit Failed();
            return;
        }
    }
}
