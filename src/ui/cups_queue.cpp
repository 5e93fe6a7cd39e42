#include "ui/cups_queue.h"

#include <QElapsedTimer>

#include <cups/cups.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace mvx::cups {

namespace {

// How long a question may last, and whether the user gave up waiting.
struct Deadline
{
    QElapsedTimer clock;
    int timeoutMs;
    std::function<bool()> stopped;

    Deadline(int timeout, std::function<bool()> stop)
        : timeoutMs(timeout)
        , stopped(std::move(stop))
    {
        clock.start();
    }
    bool over() const { return clock.elapsed() >= timeoutMs || (stopped && stopped()); }
    int left() const { return int(std::max<qint64>(1, timeoutMs - clock.elapsed())); }
};

// libcups asks this every fifth of a second while it waits for an answer: 0 gives up.
int keepWaiting(http_t *, void *data)
{
    return static_cast<const Deadline *>(data)->over() ? 0 : 1;
}

struct HttpClose
{
    void operator()(http_t *http) const { httpClose(http); }
};
struct IppDelete
{
    void operator()(ipp_t *ipp) const { ippDelete(ipp); }
};
using Connection = std::unique_ptr<http_t, HttpClose>;
using Response = std::unique_ptr<ipp_t, IppDelete>;

// A connection to the server the print system is set to use (a local socket, CUPS_SERVER, the
// client configuration). Null with Absent when nothing answers the connection.
Connection connectToServer(Deadline &deadline, Answer &answer)
{
    int cancel = 0;
    Connection http(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, deadline.left(), &cancel));
    if (!http) {
        answer = deadline.over() ? Answer::Silent : Answer::Absent;
        return nullptr;
    }
    httpSetTimeout(http.get(), 0.2, keepWaiting, &deadline);
    return http;
}

// Sends `request` (taken over) and gives the answer; null with `answer` set otherwise.
Response ask(http_t *http, Deadline &deadline, ipp_t *request, Answer &answer)
{
    Response response(cupsDoRequest(http, request, "/"));
    const ipp_status_t status = response ? ippGetStatusCode(response.get()) : cupsLastError();
    if (response && status <= IPP_STATUS_OK_CONFLICTING) {
        answer = Answer::Answered;
        return response;
    }
    // A server that went quiet, closed the connection or is shutting down did not answer.
    if (!response || deadline.over() || status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE) {
        answer = Answer::Silent;
        return nullptr;
    }
    answer = Answer::Refused;
    return nullptr;
}

ipp_t *queueRequest(ipp_op_t operation, const QString &queue)
{
    ipp_t *request = ippNewRequest(operation);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
        queueName(queue).toUtf8().constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

void addRequested(ipp_t *request, std::initializer_list<const char *> names)
{
    const std::vector<const char *> list(names);
    ippAddStrings(
        request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(list.size()), nullptr, list.data());
}

// Every job of this user on the queue from the number `firstJobId` on, printed ones included,
// with its number and title.
ipp_t *jobsRequest(const QString &queue, int firstJobId = 0)
{
    ipp_t *request = queueRequest(IPP_OP_GET_JOBS, queue);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddBoolean(request, IPP_TAG_OPERATION, "my-jobs", 1);
    // A server answers with a limited number of jobs (500 by default): the old ones are left out.
    if (firstJobId > 0)
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "first-job-id", firstJobId);
    addRequested(request, { "job-id", "job-name" });
    return request;
}

// Calls `each` with the number and title of every job in a Get-Jobs answer.
template <typename Each> void forEachJob(ipp_t *response, Each each)
{
    int id = 0;
    QString name;
    for (ipp_attribute_t *a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
        const char *attribute = ippGetName(a);
        if (!attribute) {
            // Jobs are separated by attributes without a name.
            if (id > 0)
                each(id, name);
            id = 0;
            name.clear();
        } else if (ippGetGroupTag(a) == IPP_TAG_JOB && !strcmp(attribute, "job-id")) {
            id = ippGetInteger(a, 0);
        } else if (ippGetGroupTag(a) == IPP_TAG_JOB && !strcmp(attribute, "job-name")) {
            name = QString::fromUtf8(ippGetString(a, 0, nullptr));
        }
    }
    if (id > 0)
        each(id, name);
}

} // namespace

QString queueName(const QString &destination)
{
    return destination.section(QLatin1Char('/'), 0, 0);
}

Printers listPrinters(int timeoutMs, const std::function<bool()> &stopped)
{
    Printers printers;
    Deadline deadline(timeoutMs, stopped);
    const Connection http = connectToServer(deadline, printers.answer);
    if (!http)
        return printers;
    ipp_t *request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    addRequested(request, { "printer-name" });
    const Response response = ask(http.get(), deadline, request, printers.answer);
    if (!response)
        return printers;
    for (ipp_attribute_t *a = ippFindAttribute(response.get(), "printer-name", IPP_TAG_NAME); a;
         a = ippFindNextAttribute(response.get(), "printer-name", IPP_TAG_NAME))
        printers.names.append(QString::fromUtf8(ippGetString(a, 0, nullptr)));
    return printers;
}

QueueState queueState(const QString &queue, int timeoutMs)
{
    QueueState state;
    Deadline deadline(timeoutMs, {});
    const Connection http = connectToServer(deadline, state.answer);
    if (!http)
        return state;
    ipp_t *request = queueRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, queue);
    addRequested(request, { "printer-is-accepting-jobs" });
    const Response printer = ask(http.get(), deadline, request, state.answer);
    if (!printer)
        return state;
    state.accepting = ippGetBoolean(ippFindAttribute(printer.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN), 0);
    const Response jobs = ask(http.get(), deadline, jobsRequest(queue), state.answer);
    if (jobs)
        forEachJob(jobs.get(), [&](int id, const QString &) { state.lastJobId = std::max(state.lastJobId, id); });
    return state;
}

JobSearch findJob(const QString &queue, int afterJobId, const QString &title, int timeoutMs)
{
    JobSearch search;
    Deadline deadline(timeoutMs, {});
    const Connection http = connectToServer(deadline, search.answer);
    if (!http)
        return search;
    const Response jobs = ask(http.get(), deadline, jobsRequest(queue, afterJobId + 1), search.answer);
    if (jobs)
        forEachJob(jobs.get(), [&](int id, const QString &name) {
            search.found = search.found || (id > afterJobId && (title.isEmpty() || name == title));
        });
    return search;
}

} // namespace mvx::cups
