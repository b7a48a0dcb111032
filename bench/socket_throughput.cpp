// Loopback throughput of the socket layer: 1 GiB from one CSocket to another, both driven by the
// one message loop of this thread, against 1 GiB between two plain blocking sockets with a thread
// on each side. Both pairs use the same system buffer sizes (1,027,840 bytes, the control's
// default receive buffer), the same receive size and the same send blocks, and only count what
// arrives. The CSocket receiver keeps one vector for GetData, as an owner that wants to avoid a
// copy per arrival does. Runs with blocks of 1 MiB and of 256 KiB; prints each figure and the
// ratio of the medians.
//
//   bench_socket_throughput [--benchmark_repetitions=N]   (default 3 of each, interleaved)
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "net/csocket.h"
#include "platform/loop/message_loop.h"

namespace {

using tarvik::CSocket;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kTotalBytes = 1ull << 30;
constexpr int kSocketBufferBytes = 1'027'840;  // SO_RCVBUF, SO_SNDBUF and the receive size

// Bytes per second of every run, by send block size.
std::map<std::size_t, std::vector<double>> g_csocket_rates;
std::map<std::size_t, std::vector<double>> g_plain_rates;

std::uint16_t FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::exit(1);
}

// Seconds to move kTotalBytes from one CSocket to another on this thread's loop.
double MoveThroughCSockets(std::size_t block_bytes) {
  auto listener = CSocket::Create();
  auto server = CSocket::Create();
  auto client = CSocket::Create();
  for (CSocket* s : {listener.get(), server.get(), client.get()}) {
    s->SetRcvbuf(kSocketBufferBytes);
    s->SetSndbuf(kSocketBufferBytes);
  }
  const std::vector<std::uint8_t> block(block_bytes, 0x5A);
  std::vector<std::uint8_t> arrived;  // kept from one arrival to the next
  arrived.reserve(kSocketBufferBytes);
  std::uint64_t sent = 0;
  std::uint64_t received = 0;
  bool failed = false;
  Clock::time_point start;

  listener->OnConnectionRequest = [&](std::int32_t id) { server->Accept(id); };
  server->OnDataArrival = [&](double) {
    server->GetData(arrived);
    received += arrived.size();
  };
  client->OnSendComplete = [&] {
    if (sent == 0) start = Clock::now();
    if (sent >= kTotalBytes) return;
    const auto n =
        static_cast<std::size_t>(std::min<std::uint64_t>(block_bytes, kTotalBytes - sent));
    sent += n;
    client->SendData(block, static_cast<double>(n), false);
  };
  for (CSocket* s : {listener.get(), server.get(), client.get()}) {
    s->OnError = [&failed] { failed = true; };
  }
  const std::uint16_t port = FreeLoopbackPort();
  listener->SetLocalPort(port);
  listener->Listen();
  client->SetRemoteHost("127.0.0.1");
  client->SetRemotePort(port);
  client->Connect();
  while (received < kTotalBytes && !failed) {
    tarvik::platform::WaitForMessage(1000);
    tarvik::platform::ProcessPendingMessages();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (failed) Fail("the CSocket transfer failed");
  client->CloseSocket();
  server->CloseSocket();
  listener->CloseSocket();
  while (tarvik::platform::WaitForMessage(10)) tarvik::platform::ProcessPendingMessages();
  return seconds;
}

void SetBuffers(int fd) {
  ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kSocketBufferBytes, sizeof kSocketBufferBytes);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSocketBufferBytes, sizeof kSocketBufferBytes);
}

// Seconds to move kTotalBytes between two plain blocking sockets, a thread on each side.
double MoveThroughPlainSockets(std::size_t block_bytes) {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  SetBuffers(listener);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  ::listen(listener, 1);
  const int client = ::socket(AF_INET, SOCK_STREAM, 0);
  SetBuffers(client);
  if (::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    Fail("the plain connect failed");
  }
  const int server = ::accept(listener, nullptr, nullptr);

  const Clock::time_point start = Clock::now();
  std::thread sender([client, block_bytes] {
    const std::vector<std::uint8_t> block(block_bytes, 0x5A);
    std::uint64_t sent = 0;
    while (sent < kTotalBytes) {
      const auto n =
          static_cast<std::size_t>(std::min<std::uint64_t>(block_bytes, kTotalBytes - sent));
      const ssize_t done = ::send(client, block.data(), n, MSG_NOSIGNAL);
      if (done <= 0) break;
      sent += static_cast<std::uint64_t>(done);
    }
  });
  std::uint64_t received = 0;
  std::thread receiver([server, &received] {
    auto buffer = std::make_unique<std::uint8_t[]>(kSocketBufferBytes);
    while (received < kTotalBytes) {
      const ssize_t n = ::recv(server, buffer.get(), kSocketBufferBytes, 0);
      if (n <= 0) break;
      received += static_cast<std::uint64_t>(n);
    }
  });
  sender.join();
  receiver.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  ::close(client);
  ::close(server);
  ::close(listener);
  if (received < kTotalBytes) Fail("the plain transfer failed");
  return seconds;
}

void Report(benchmark::State& state, double seconds, std::vector<double>& rates) {
  state.SetIterationTime(seconds);
  state.SetBytesProcessed(static_cast<std::int64_t>(kTotalBytes));
  rates.push_back(static_cast<double>(kTotalBytes) / seconds);
}

void BM_CSocketPairOneLoop(benchmark::State& state) {
  const auto block = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) Report(state, MoveThroughCSockets(block), g_csocket_rates[block]);
}

void BM_PlainBlockingSocketsTwoThreads(benchmark::State& state) {
  const auto block = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) Report(state, MoveThroughPlainSockets(block), g_plain_rates[block]);
}

BENCHMARK(BM_CSocketPairOneLoop)
    ->Arg(1 << 20)
    ->Arg(1 << 18)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainBlockingSocketsTwoThreads)
    ->Arg(1 << 20)
    ->Arg(1 << 18)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Three runs of each unless told otherwise, interleaved so that both pairs meet the same noise.
  std::vector<char*> arguments(argv, argv + argc);
  char repetitions[] = "--benchmark_repetitions=3";
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  arguments.insert(arguments.begin() + 1, {repetitions, interleave});
  argc = static_cast<int>(arguments.size());
  argv = arguments.data();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\n1 GiB over loopback, medians (MiB/s):\n");
  std::printf("  send block   CSockets, one loop   plain sockets, two threads   ratio\n");
  for (const auto& [block, rates] : g_csocket_rates) {
    const auto plain = g_plain_rates.find(block);
    if (plain == g_plain_rates.end()) continue;
    const double csocket_rate = Median(rates);
    const double plain_rate = Median(plain->second);
    std::printf("  %7zu KiB   %18.1f   %26.1f   %5.2f\n", block / 1024, csocket_rate / (1 << 20),
                plain_rate / (1 << 20), csocket_rate / plain_rate);
  }
  return 0;
}
