// The task record of the downloader and its callbacks.
#pragma once

#include <cstdint>
#include <string>

// Addresses and task identities do not fit 32 bits on a 64-bit build: the
// arguments that may carry them are pointer-sized.
using TaskEventCallback = std::int32_t (*)(std::int32_t code, std::intptr_t arg2, std::intptr_t arg3,
                                           std::intptr_t arg4, std::intptr_t task);
using TaskMessageCallback = void (*)(std::int32_t connection, const char* time, const char* message,
                                     std::int32_t level, std::intptr_t task);

enum TaskEvent : std::int32_t {
    TotalSizeKnown = 3,     // task, total size, address of the save path in use
    TaskFinished = 4,       // task, total size (a stopped task: bytes written), 0
    ConnectionStarted = 5,  // connection
    BlockStarted = 6,       // connection, position, end of the block
    BlockTaken = 7,         // connection, position, end of the block
    ConnectionEnded = 8,    // connection, position reached
    ConnectionFailed = 9,   // connection, position reached
    DataReceived = 16,      // connection, bytes received in this step
    SaveFileExists = 18,    // size of the existing file, total size; the result answers
};

constexpr std::int32_t kDownloadOperation = 4096;

// Twenty fields, in this order, with these defaults.
struct TaskParam {
    std::int32_t operation = 1;
    std::string url;
    std::string savePath;
    std::string ftpUser = "anonymous";
    std::string ftpPassword = "updater@localhost";  // the anonymous-login convention: an e-mail-style text
    std::int32_t connections = 1;
    std::int32_t speedLimit = 0;  // bytes per second over all connections; 0: no cap
    std::int32_t connectTimeout = 20000;
    std::int32_t sendTimeout = 20000;
    std::int32_t receiveTimeout = 20000;
    std::int32_t stopWait = 1000;
    std::int32_t receiveChunk = 20480;
    std::int32_t sendChunk = 1024;
    TaskMessageCallback messageCallback = nullptr;
    TaskEventCallback eventCallback = nullptr;
    std::string ftpRenameTo;
    std::int32_t ftpTransferType = 1;
    std::string binaryExtensions = ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm";
    std::string proxy;    // host[:port]; empty: a direct connection
    std::string referer;  // empty: the address up to its last "/"
};
