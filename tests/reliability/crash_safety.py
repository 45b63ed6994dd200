#!/usr/bin/env python3
"""Kills the host (SIGKILL) at random moments while the shop takes transfers,
card-key redemptions, orders and their results and generates a batch of
100,000 card keys from the window, then reopens the database file and checks
the books. The same file goes through every round, so each round also starts
on the file the previous kill left behind.

  crash_safety.py [--kills N] [--events N] [--seed N] [--report FILE] HOST PLUGIN

After every run, killed or not:
- PRAGMA integrity_check is ok and the four tables are there;
- every user's points add up (see shop.py): the transfers the books imply
  are whole and not negative;
- what was committed lies between what the host printed and that plus the
  one event in flight: a transfer's acceptance, a key's success reply, an
  order's forward and a refund are all sent after their commit, so
    printed <= committed <= printed + (1 if the killed line was of that kind);
- no key is both unused and credited, none stored twice;
- the key batch is all or nothing: 0 or 100,000 keys, and all of them when
  the click was answered.

Every other round generates the batch. The first round of each sort runs to
the end unkilled (its figures must match exactly) and times the session; each
later round is killed after a random part of its sort's time."""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import shop  # noqa: E402

BATCH = 100000
USERS = ['wxid_u%d' % i for i in range(6)]


def build_round(rnd, directory, events, pool, generate):
    """The round's lines and, for each, its kind ('transfer', 'redeem',
    'order', 'fail', 'generate' or None)."""
    lines = shop.start_lines(directory) + shop.window_lines_for_generation(BATCH)
    kinds = [None] * len(lines)
    generate_at = rnd.randrange(events + 1) if generate else -1
    for i in range(events + 1):
        if i == generate_at:
            lines.append(shop.generation_click())
            kinds.append('generate')
        if i == events:
            break
        r = rnd.random()
        user = rnd.choice(USERS)
        if r < 0.25:
            if rnd.random() < 0.2:
                user = 'wxid_n%d_%d' % (pool['round'], i)  # a first transfer makes the user
            lines.append(shop.transfer(user))
            kinds.append('transfer')
        elif r < 0.45:
            if rnd.random() < 0.2:
                user = 'wxid_k%d_%d' % (pool['round'], i)  # a first key makes the user
            lines.append(shop.message(user, shop.pool_key(pool['next'])))
            kinds.append('redeem')
            pool['next'] += 1
        elif r < 0.5:
            # A key already taken (or never made) changes nothing.
            lines.append(shop.message(user, shop.pool_key(rnd.randrange(max(pool['next'], 1)))))
            kinds.append(None)
        elif r < 0.85:
            code = 'c%dx%d' % (pool['round'], i)
            lines.append(shop.order(user, code))
            kinds.append('order')
            outcome = rnd.random()
            if outcome < 0.4:
                lines.append(shop.result(code, False))
                kinds.append('fail')
            elif outcome < 0.8:
                lines.append(shop.result(code, True))
                kinds.append(None)
        else:
            lines.append(shop.message(user, rnd.choice(['查询', '菜单', '帮助', 'hello'])))
            kinds.append(None)
    return lines, kinds


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--kills', type=int, default=30)
    ap.add_argument('--events', type=int, default=1000)
    ap.add_argument('--seed', type=int, default=None)
    ap.add_argument('--report')
    ap.add_argument('host')
    ap.add_argument('plugin')
    a = ap.parse_args()
    if not os.path.exists(a.host) or not os.path.exists(a.plugin):
        print('crash_safety.py: skipped: not built', file=sys.stderr)
        return 77
    seed = a.seed if a.seed is not None else random.randrange(1 << 30)
    rnd = random.Random(seed)

    work = tempfile.mkdtemp(prefix='quorvel-crash.')
    try:
        directory = os.path.join(work, 'dir')
        os.mkdir(directory)
        db_path = os.path.join(directory, 'tovu.db')
        start = shop.make_shop(directory, USERS, pool_keys=(5 * a.kills + 1) * a.events)
        pool = {'next': 0, 'round': 0}
        committed = {'transfer': 0, 'redeem': 0, 'order': 0, 'fail': 0}
        duration = {}  # by whether the round generates: how long an uncut run took
        survived = 0
        during = {}
        failures = []
        completed = 0
        r = -1
        # A run that ends before its kill is a round too; go on until the kills are done.
        while survived < a.kills and r < 5 * a.kills:
            r += 1
            pool['round'] = r
            # Every other round generates a batch, which takes most of its time.
            generate = r % 2 == 0
            lines, kinds = build_round(rnd, directory, a.events, pool, generate)
            session = os.path.join(work, 'session.jsonl')
            output = os.path.join(work, 'out')
            shop.write_session(session, lines)
            began = time.monotonic()
            with open(output, 'wb') as out, open(os.path.join(work, 'err'), 'wb') as err:
                proc = subprocess.Popen(shop.host_command(a.host, a.plugin, session), stdout=out, stderr=err)
                killed = False
                if generate not in duration:
                    status = proc.wait(timeout=600)
                    duration[generate] = time.monotonic() - began
                else:
                    try:
                        status = proc.wait(timeout=rnd.uniform(0, duration[generate]))
                        # It ended first: a busy machine made the timed run slow. Aim
                        # within this run's time from now on.
                        duration[generate] = time.monotonic() - began
                    except subprocess.TimeoutExpired:
                        proc.send_signal(signal.SIGKILL)
                        status = proc.wait()
                        killed = True
            if not killed and status != 0:
                failures.append('round %d: the host exited with status %d: %s' %
                                (r, status, open(os.path.join(work, 'err'), 'rb').read().decode('utf-8', 'replace')))
                break
            records = shop.read_output(output)
            done = shop.closing_lines(records)
            in_flight = kinds[done] if done < len(kinds) else None
            if not killed:
                completed += 1
            else:
                survived += 1
                what = in_flight or ('start-up' if done < 7 else 'other event')
                during[what] = during.get(what, 0) + 1
            printed = {
                'transfer': shop.count_api(records, 'Api_AcceptTransfer'),
                'redeem': shop.count_api(records, 'Api_SendTextMsg', '卡密充值成功'),
                'order': shop.count_api(records, 'Api_SendMiniAppMsg'),
                'fail': shop.count_api(records, 'Api_SendTextMsg', '退款成功'),
            }
            books = shop.Books(db_path, start)
            faults = list(books.faults)
            now = {'transfer': books.total_transfers(), 'redeem': books.keys_redeemed if not faults else 0,
                   'order': getattr(books, 'orders', 0), 'fail': getattr(books, 'failed', 0)}
            for kind in committed:
                delta = now[kind] - committed[kind]
                slack = 1 if in_flight == kind else 0
                if not printed[kind] <= delta <= printed[kind] + slack:
                    faults.append('%s: %d committed, %d printed%s' %
                                  (kind, delta, printed[kind], ' (+1 in flight)' if slack else ''))
            generated = getattr(books, 'generated', 0)
            gen_line = kinds.index('generate') if generate else len(kinds)
            expected = {BATCH} if gen_line < done else ({0, BATCH} if gen_line == done else {0})
            if generated not in expected:
                faults.append('%d generated keys, expected %s' % (generated, ' or '.join(map(str, sorted(expected)))))
            if faults:
                failures.append('round %d (%s, %d lines done, in flight: %s):\n  %s' %
                                (r, 'killed' if killed else 'not killed', done, in_flight, '\n  '.join(faults)))
                break
            committed = now
            shop.delete_generated_keys(db_path)

        summary = ('crash safety (seed %d): %d of %d kills survived with the books balanced (and %d rounds '
                   'that ended before their kill); killed during %s; %d transfers, %d key redemptions, %d orders, '
                   '%d refunds committed'
                   % (seed, survived, a.kills, completed,
                      ', '.join('%s %d' % kv for kv in sorted(during.items())) or 'nothing',
                      committed['transfer'], committed['redeem'], committed['order'], committed['fail']))
        if not failures and survived < a.kills:
            failures.append('only %d kills landed in %d rounds' % (survived, r + 1))
        if failures:
            summary = 'crash safety (seed %d): FAILED after %d kills\n%s' % (seed, survived, '\n'.join(failures))
        print(summary)
        if a.report:
            with open(a.report, 'w', encoding='utf-8') as f:
                f.write(summary + '\n')
        return 1 if failures else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
