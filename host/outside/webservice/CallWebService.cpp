// The suite's web-service library. One entry point posts a request text to a service address
// and writes the answer body into a file; the protocol is described in docs/webservice.md.

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

namespace {

constexpr long kConnectTimeoutSeconds = 15;
constexpr long kTotalTimeoutSeconds = 120;

thread_local std::string lastError;

const char* Fail(std::string message) {
    lastError = std::move(message);
    return lastError.c_str();
}

std::string ErrnoText(int err) {
    char buf[256];
    // GNU strerror_r answers the text (possibly not in buf).
    return strerror_r(err, buf, sizeof buf);
}

struct Sink {
    int fd = -1;
    int error = 0;  // errno of a failed write
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    size_t total = size * count;
    size_t done = 0;
    while (done < total) {
        ssize_t n = ::write(sink->fd, data + done, total - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            sink->error = errno;
            return 0;  // aborts the transfer
        }
        done += static_cast<size_t>(n);
    }
    return total;
}

// A temporary file beside the answer file, so the answer appears complete or not at all.
struct TempFile {
    std::string path;
    int fd = -1;
    explicit TempFile(const std::string& target) : path(target + ".XXXXXX") {
        fd = ::mkstemp(path.data());
        if (fd >= 0) ::fchmod(fd, 0644);
    }
    ~TempFile() {
        if (fd >= 0) ::close(fd);
        if (!path.empty()) ::unlink(path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
};

struct Easy {
    CURL* handle = curl_easy_init();
    curl_slist* headers = nullptr;
    ~Easy() {
        curl_slist_free_all(headers);
        if (handle) curl_easy_cleanup(handle);
    }
    Easy() = default;
    Easy(const Easy&) = delete;
    Easy& operator=(const Easy&) = delete;
    bool AddHeader(const std::string& line) {
        curl_slist* next = curl_slist_append(headers, line.c_str());
        if (next == nullptr) return false;
        headers = next;
        return true;
    }
};

const char* Call(const char* address, const char* method, const char* request, const char* answerFile) {
    if (address == nullptr || *address == '\0') return Fail("no service address");
    if (answerFile == nullptr || *answerFile == '\0') return Fail("no answer file");
    std::string_view methodText = method ? method : "";
    // The method name goes into a header line; a line break would inject headers.
    if (methodText.find_first_of("\r\n") != std::string_view::npos) return Fail("invalid method name");

    static std::once_flag once;
    static CURLcode globalInit = CURLE_OK;
    std::call_once(once, [] { globalInit = curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (globalInit != CURLE_OK) return Fail(curl_easy_strerror(globalInit));

    Easy easy;
    if (easy.handle == nullptr) return Fail("cannot initialise the HTTP client");
    if (!easy.AddHeader("Content-Type: text/xml; charset=UTF-8") ||
        !easy.AddHeader("SOAPAction: \"" + std::string(methodText) + "\"") ||
        !easy.AddHeader("Expect:"))  // no 100-continue round trip
        return Fail("out of memory");

    TempFile temp(answerFile);
    if (temp.fd < 0) return Fail("cannot create a file beside " + std::string(answerFile) + ": " + ErrnoText(errno));
    Sink sink{temp.fd, 0};

    std::string_view body = request ? request : "";
    char errorBuffer[CURL_ERROR_SIZE] = {0};
    CURL* h = easy.handle;
    curl_easy_setopt(h, CURLOPT_URL, address);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, easy.headers);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, kTotalTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    // A proxy named in the environment must not catch calls to this machine.
    curl_easy_setopt(h, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");

    CURLcode rc = curl_easy_perform(h);
    if (rc != CURLE_OK) {
        if (rc == CURLE_WRITE_ERROR && sink.error != 0)
            return Fail("cannot write the answer beside " + std::string(answerFile) + ": " + ErrnoText(sink.error));
        return Fail(errorBuffer[0] != '\0' ? std::string(errorBuffer) : std::string(curl_easy_strerror(rc)));
    }
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299) return Fail("HTTP " + std::to_string(status) + " from " + address);

    if (::close(temp.fd) != 0) {
        temp.fd = -1;
        return Fail("cannot write the answer beside " + std::string(answerFile) + ": " + ErrnoText(errno));
    }
    temp.fd = -1;
    if (::rename(temp.path.c_str(), answerFile) != 0)
        return Fail("cannot create " + std::string(answerFile) + ": " + ErrnoText(errno));
    temp.path.clear();
    return nullptr;
}

}  // namespace

// Posts request to address with the SOAP action method and writes the answer body into
// answerFile. Answers nullptr on success, else an error text that stays valid until the
// calling thread's next call.
extern "C" __attribute__((visibility("default"))) const char* CallWebServiceFx(const char* address, const char* method,
                                                                             const char* request, const char* answerFile) {
    try {
        return Call(address, method, request, answerFile);
    } catch (...) {
        // Storing a text could fail again here; a literal cannot.
        return "out of memory";
    }
}
