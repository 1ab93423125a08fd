"""The mail figure's baseline: Python's smtplib sends the same message.

Usage: smtplib_client.py PORT BODY_BYTES [COUNT]
Sends COUNT mails (default 1), each over a connection of its own, and prints
the wall time and this process's CPU time, in seconds, from the first
connection to the server's acceptance of the last message.
"""

import smtplib
import sys
import time

port, size = int(sys.argv[1]), int(sys.argv[2])
count = int(sys.argv[3]) if len(sys.argv) > 3 else 1
line = "x" * 79 + "\n"
body = line * (size // len(line))
message = "To: sink@example.com\nFrom: bench@example.com\nSubject: bench\n\n" + body

wall, cpu = time.perf_counter(), time.process_time()
for _ in range(count):
    client = smtplib.SMTP("127.0.0.1", port)
    client.helo("there")
    client.sendmail("bench@example.com", "sink@example.com", message)
    if count > 1:
        client.quit()
wall, cpu = time.perf_counter() - wall, time.process_time() - cpu
if count == 1:
    client.quit()
print(wall, cpu)
