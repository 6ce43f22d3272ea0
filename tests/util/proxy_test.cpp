// The proxy connection: opened to port 10009 on the local host, never
// written to; a missing listener is no error.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "QENLogCallback.h"

using namespace qen_util;

TEST(ProxyTest, ConnectsAndWritesNothing)
{
  int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  int yes = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(10009);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 4) != 0) {
    ::close(listener);
    GTEST_SKIP() << "port 10009 is taken";
  }
  ::fcntl(listener, F_SETFL, O_NONBLOCK);

  QENLogCallback::initialize();

  int connection = ::accept(listener, nullptr, nullptr);
  ASSERT_GE(connection, 0) << "no connection was opened";
  char byte;
  ssize_t got = ::recv(connection, &byte, 1, MSG_DONTWAIT);
  EXPECT_EQ(-1, got);  // still open, nothing written
  EXPECT_TRUE(errno == EAGAIN || errno == EWOULDBLOCK);

  // A second set-up replaces the connection and closes the first one.
  QENLogCallback::initialize();
  int second = ::accept(listener, nullptr, nullptr);
  EXPECT_GE(second, 0);
  int flags = ::fcntl(connection, F_GETFL);
  ::fcntl(connection, F_SETFL, flags & ~O_NONBLOCK);
  EXPECT_EQ(0, ::recv(connection, &byte, 1, 0));  // orderly close by the peer

  if (second >= 0)
    ::close(second);
  ::close(connection);
  ::close(listener);
}

TEST(ProxyTest, NoListenerIsNoError)
{
  // Nothing to observe but that set-up returns.
  QENLogCallback::initialize();
  QENLogCallback::initialize();
  SUCCEED();
}
