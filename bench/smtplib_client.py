"""The mail figure's baseline: Python's smtplib sends the same message.

Usage: smtplib_client.py PORT BODY_BYTES
Prints the wall time and this process's CPU time, in seconds, from connecting
to the server's acceptance of the message.
"""

import smtplib
import sys
import time

port, size = int(sys.argv[1]), int(sys.argv[2])
line = "x" * 79 + "\n"
body = line * (size // len(line))
message = "To: sink@example.com\nFrom: bench@example.com\nSubject: bench\n\n" + body

wall, cpu = time.perf_counter(), time.process_time()
client = smtplib.SMTP("127.0.0.1", port)
client.helo("there")
client.sendmail("bench@example.com", "sink@example.com", message)
wall, cpu = time.perf_counter() - wall, time.process_time() - cpu
client.quit()
print(wall, cpu)
