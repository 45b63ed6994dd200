#!/usr/bin/env python3
"""A load session through the host simulator: THREADS threads make EVENTS
calls each, a mix of chat messages, transfers, card-key redemptions, orders
and their results, in "concurrent" lines of THREADS different calls; between
those lines the management window works (user, order and card-key lists,
card-key queries and batches, saving the settings). At the end the books must
balance exactly (see shop.py) and every effect must match what was asked.
Prints events per second and the largest single-event latency, as the
simulator's --timing measures them (an event's latency includes its wait for
the other threads).

  load.py [--threads N] [--events N] [--repeat N] [--seed N] [--report FILE] HOST PLUGIN
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import shop  # noqa: E402

USERS = ['wxid_u%d' % i for i in range(24)]
GENERATED_PER_CLICK = 100

# Between two concurrent lines the window does one of these, in turn.
WINDOW_ACTIONS = [
    [{'window': 'page', 'index': 1}, {'window': 'select', 'control': '超级列表框_用户', 'row': 0},
     {'window': 'menu', 'control': '超级列表框_用户', 'item': '刷新用户'}],
    [{'window': 'page', 'index': 4}, {'window': 'choose', 'control': '组合框_订单状态', 'index': 1}],
    [{'window': 'page', 'index': 3}, {'window': 'choose', 'control': '组合框_卡密状态', 'index': 2},
     {'window': 'set', 'control': '编辑框_查询面额', 'text': str(shop.KEY_FACE)},
     {'window': 'click', 'control': '按钮_查询卡密'}],
    [{'window': 'page', 'index': 3}, {'window': 'set', 'control': '编辑框_卡密面额', 'text': shop.GENERATED_FACE},
     {'window': 'set', 'control': '编辑框_生成卡密数量', 'text': str(GENERATED_PER_CLICK)},
     {'window': 'click', 'control': '按钮_生成卡密'}],
    [{'window': 'page', 'index': 4}, {'window': 'choose', 'control': '组合框_订单状态', 'index': 3}],
    [{'window': 'page', 'index': 0}, {'window': 'click', 'control': '按钮_保存配置'}],
    [{'window': 'page', 'index': 2}, {'window': 'select', 'control': '超级列表框_商品', 'row': 0},
     {'window': 'menu', 'control': '超级列表框_商品', 'item': '刷新商品'}],
]


class Plan:
    """The calls asked for, and what they must add up to."""

    def __init__(self):
        self.transfers = {}    # user -> transfer calls
        self.orders = 0
        self.keys = 0          # distinct keys sent (each credited once)
        self.key_attempts = 0
        self.generate_clicks = 0


def pick_call(rnd, plan, line_index, slot, repeat, next_key):
    """One thread's call in a concurrent line, made `repeat` times."""
    r = rnd.random()
    user = rnd.choice(USERS)
    # One code per user, so the latest order's code on the user row is
    # always the one a result names, whatever order the threads run in.
    code = 'L' + user
    if r < 0.2:
        if rnd.random() < 0.1:
            user = 'wxid_n%d_%d' % (line_index, slot)
        plan.transfers[user] = plan.transfers.get(user, 0) + repeat
        return shop.transfer(user), next_key
    if r < 0.35:
        if rnd.random() < 0.1:
            user = 'wxid_k%d_%d' % (line_index, slot)
        plan.keys += 1
        plan.key_attempts += repeat
        return shop.message(user, shop.pool_key(next_key)), next_key + 1
    if r < 0.6:
        plan.orders += repeat
        return shop.order(user, code), next_key
    if r < 0.75:
        return shop.result(code, True), next_key
    if r < 0.85:
        return shop.result(code, False), next_key
    text = rnd.choice(['查询', '菜单', '帮助', '你的id', '充值', 'hello', 'TOVUnone'])
    return shop.message(user, text), next_key


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--threads', type=int, default=8)
    ap.add_argument('--events', type=int, default=10000, help='calls per thread')
    ap.add_argument('--repeat', type=int, default=50, help='times each thread repeats its call in one line')
    ap.add_argument('--seed', type=int, default=None)
    ap.add_argument('--report')
    ap.add_argument('host')
    ap.add_argument('plugin')
    a = ap.parse_args()
    if not os.path.exists(a.host) or not os.path.exists(a.plugin):
        print('load.py: skipped: not built', file=sys.stderr)
        return 77
    seed = a.seed if a.seed is not None else random.randrange(1 << 30)
    rnd = random.Random(seed)
    repeat = max(1, min(a.repeat, a.events))
    batches = max(1, a.events // repeat)

    work = tempfile.mkdtemp(prefix='quorvel-load.')
    try:
        directory = os.path.join(work, 'dir')
        os.mkdir(directory)
        db_path = os.path.join(directory, 'tovu.db')
        start = shop.make_shop(directory, USERS, pool_keys=batches * a.threads)
        plan = Plan()
        lines = shop.start_lines(directory) + [shop.call('Menu')]
        next_key = 0
        for b in range(batches):
            calls = []
            for slot in range(a.threads):
                c, next_key = pick_call(rnd, plan, b, slot, repeat, next_key)
                calls.append(c)
            lines.append({'concurrent': calls, 'repeat': repeat})
            action = WINDOW_ACTIONS[b % len(WINDOW_ACTIONS)]
            if any(x.get('control') == '按钮_生成卡密' for x in action):
                plan.generate_clicks += 1
            lines.extend(action)
        session = os.path.join(work, 'session.jsonl')
        shop.write_session(session, lines)
        output, errors = os.path.join(work, 'out'), os.path.join(work, 'err')
        began = time.monotonic()
        with open(output, 'wb') as out, open(errors, 'wb') as err:
            status = subprocess.run(shop.host_command(a.host, a.plugin, session, timing=True), stdout=out,
                                    stderr=err, timeout=3600).returncode
        wall = time.monotonic() - began
        stderr_text = open(errors, 'rb').read().decode('utf-8', 'replace')
        faults = []
        if status != 0:
            faults.append('the host exited with status %d: %s' %
                          (status, '\n'.join(l for l in stderr_text.splitlines() if not l.startswith('timing '))))

        # --timing: "timing call NAME US" and "timing line N KIND US".
        event_us, concurrent_us, window_us = [], 0, []
        for l in stderr_text.splitlines():
            f = l.split()
            if len(f) == 4 and f[:2] == ['timing', 'call'] and f[2].startswith('Event') and f[2] not in (
                    'EventInit', 'EventEnable'):
                event_us.append(int(f[3]))
            elif len(f) == 5 and f[:2] == ['timing', 'line']:
                if f[3] == 'concurrent':
                    concurrent_us += int(f[4])
                elif f[3].startswith('window:'):
                    window_us.append(int(f[4]))
        expected_events = batches * a.threads * repeat
        if len(event_us) != expected_events:
            faults.append('%d event calls timed, %d made' % (len(event_us), expected_events))

        records = shop.read_output(output)
        books = shop.Books(db_path, start)
        faults += books.faults
        if not books.faults:
            expected_transfers = sum(plan.transfers.values())
            checks = [
                ('transfers accepted', shop.count_api(records, 'Api_AcceptTransfer'), expected_transfers),
                ('transfers in the books', books.total_transfers(), expected_transfers),
                ('keys credited', shop.count_api(records, 'Api_SendTextMsg', '卡密充值成功'), plan.keys),
                ('keys marked used', books.keys_redeemed, plan.keys),
                ('keys refused as used', shop.count_api(records, 'Api_SendTextMsg', '卡密已被使用！'),
                 plan.key_attempts - plan.keys),
                ('orders forwarded', shop.count_api(records, 'Api_SendMiniAppMsg'), plan.orders),
                ('order rows', books.orders, plan.orders),
                ('refunds sent', shop.count_api(records, 'Api_SendTextMsg', '退款成功'), books.failed),
                ('generated keys', books.generated, plan.generate_clicks * GENERATED_PER_CLICK),
            ]
            for name, actual, expected in checks:
                if actual != expected:
                    faults.append('%s: %d, expected %d' % (name, actual, expected))
            for user, n in plan.transfers.items():
                if books.transfers.get(user, 0) != n:
                    faults.append('%s: %d transfers in the books, %d made' % (user, books.transfers.get(user, 0), n))

        event_us.sort()
        rate = len(event_us) / (concurrent_us / 1e6) if concurrent_us else 0
        worst = event_us[-1] / 1000 if event_us else 0
        p99 = event_us[int(len(event_us) * 0.99)] / 1000 if event_us else 0
        median = event_us[len(event_us) // 2] / 1000 if event_us else 0
        summary = ('load (seed %d): %d threads x %d events = %d events in %.1f s of concurrent lines: %.0f events/s; '
                   'latency median %.2f ms, 99th percentile %.2f ms, largest %.1f ms; %d window actions, '
                   'largest %.1f ms; whole run %.1f s; books %s'
                   % (seed, a.threads, batches * repeat, len(event_us), concurrent_us / 1e6, rate, median, p99, worst,
                      len(window_us), max(window_us) / 1000 if window_us else 0, wall,
                      'balanced' if not faults else 'NOT balanced'))
        print(summary)
        if faults:
            print('  ' + '\n  '.join(faults))
        if a.report:
            with open(a.report, 'w', encoding='utf-8') as f:
                f.write(summary + '\n')
        return 1 if faults else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
