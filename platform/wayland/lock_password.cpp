// The password of the session lock: one fixed buffer, locked in memory and
// wiped once handed to a check and on exit; the check runs PAM in a forked
// child, which gets the password through a pipe and answers with one byte, so
// that a slow PAM module cannot freeze the lock screen.
#include <fcntl.h>
#include <pwd.h>
#include <security/pam_appl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/wayland/lock.h"
#include "platform/wayland/lock_state.h"

namespace plat {

namespace {

struct Password {
    char text[kPasswordCapacity + 1];  // NUL-terminated
    std::size_t length;
};

Password password;
pid_t checker = -1;
int answerFd = -1;

void Wipe() { explicit_bzero(&password, sizeof password); }

// PAM's conversation: the password for every hidden prompt, nothing else.
int Converse(int count, const pam_message** messages, pam_response** responses, void* data) {
    const char* secret = static_cast<const char*>(data);
    pam_response* answers = static_cast<pam_response*>(std::calloc(count, sizeof(pam_response)));
    if (answers == nullptr) return PAM_BUF_ERR;
    for (int i = 0; i < count; ++i) {
        if (messages[i]->msg_style != PAM_PROMPT_ECHO_OFF && messages[i]->msg_style != PAM_PROMPT_ECHO_ON) continue;
        answers[i].resp = strdup(secret);
        if (answers[i].resp == nullptr) {
            for (int j = 0; j < i; ++j) std::free(answers[j].resp);
            std::free(answers);
            return PAM_BUF_ERR;
        }
    }
    *responses = answers;
    return PAM_SUCCESS;
}

// The child: reads the password, asks PAM, writes '1' or '0', ends.
[[noreturn]] void RunChecker(int passwordFd, int resultFd) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() == 1) _exit(1);
    Password received;
    std::memset(&received, 0, sizeof received);
    mlock(&received, sizeof received);
    std::size_t got = 0;
    for (;;) {
        const ssize_t n = read(passwordFd, received.text + got, kPasswordCapacity - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(passwordFd);
    Wipe();  // the parent's buffer, copied at the fork
    char answer = '0';
    const passwd* user = getpwuid(getuid());
    if (user != nullptr) {
        const pam_conv conversation = {Converse, received.text};
        pam_handle_t* handle = nullptr;
        if (pam_start(kLockPamService, user->pw_name, &conversation, &handle) == PAM_SUCCESS) {
            const int result = pam_authenticate(handle, 0);
            if (result == PAM_SUCCESS) answer = '1';
            pam_end(handle, result);
        }
    }
    explicit_bzero(&received, sizeof received);
    (void)!write(resultFd, &answer, 1);
    _exit(0);
}

}  // namespace

bool PasswordInit() {
    Wipe();
    return mlock(&password, sizeof password) == 0;
}

std::size_t PasswordCharacters() {
    std::size_t count = 0;
    for (std::size_t i = 0; i < password.length; ++i) count += (password.text[i] & 0xC0) != 0x80;
    return count;
}

void PasswordAppend(const char* text) {
    const std::size_t add = std::strlen(text);
    if (add == 0 || password.length + add > kPasswordCapacity) return;  // dropped, never cut
    std::memcpy(password.text + password.length, text, add);
    password.length += add;
}

void PasswordBackspace() {
    // One character: the bytes of its UTF-8 sequence.
    while (password.length > 0) {
        const unsigned char c = static_cast<unsigned char>(password.text[--password.length]);
        password.text[password.length] = '\0';
        if ((c & 0xC0) != 0x80) break;
    }
}

void PasswordClear() { Wipe(); }

void PasswordSubmit() {
    if (checker > 0) return;  // a check runs: this Enter is ignored
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0) return;
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
        close(toChild[0]);
        close(toChild[1]);
        return;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(toChild[1]);
        close(fromChild[0]);
        RunChecker(toChild[0], fromChild[1]);
    }
    close(toChild[0]);
    close(fromChild[1]);
    if (pid < 0) {
        close(toChild[1]);
        close(fromChild[0]);
        return;
    }
    // At most kPasswordCapacity bytes, less than a pipe holds: never blocks.
    (void)!write(toChild[1], password.text, password.length);
    close(toChild[1]);
    Wipe();
    checker = pid;
    answerFd = fromChild[0];
    lk.check = CheckState::Checking;
}

int CheckResultFd() { return answerFd; }

bool FinishCheck() {
    char answer = '0';
    if (read(answerFd, &answer, 1) != 1) answer = '0';  // a child that died answers no
    close(answerFd);
    answerFd = -1;
    int status = 0;
    waitpid(checker, &status, 0);
    checker = -1;
    return answer == '1';
}

}  // namespace plat
