#!/usr/bin/env python3
"""Broken files and oversized input through the host simulator, where what is
left on disk matters as much as what the plug-in says:

- a tovu.db that is not a database: every lookup fails quietly, transfers are
  left unaccepted with a log line, and the file is not touched;
- a cfg.ini of binary junk: the settings read as whatever the junk holds (no
  switch is on), and the file is not touched;
- 1 MiB messages, nicknames and payloads (among them JSON nested 500,000
  deep): each gets the answer its kind gets, and the books stay whole;
- a configuration directory that cannot be written (made immutable when run
  as root, read-only otherwise): reads work, every write fails whole with its
  reply or log line, and nothing in the directory changes.

  bad_files.py HOST PLUGIN"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import shop  # noqa: E402

R = shop.ROBOT
MIB = 1 << 20
failures = []


def check(name, condition, detail=''):
    if not condition:
        failures.append('%s%s' % (name, (': ' + detail) if detail else ''))


def digest(directory):
    """Every file of the directory and the hash of its content."""
    return {n: hashlib.sha256(open(os.path.join(directory, n), 'rb').read()).hexdigest()
            for n in sorted(os.listdir(directory))}


def run_session(host, plugin, work, lines):
    session = os.path.join(work, 'session.jsonl')
    shop.write_session(session, lines)
    out = subprocess.run(shop.host_command(host, plugin, session), capture_output=True, timeout=600)
    if out.returncode != 0:
        failures.append('the host exited with status %d: %s' % (out.returncode, out.stderr.decode('utf-8', 'replace')))
    return shop.read_output_bytes(out.stdout)


def texts(records):
    return [r['args'][2] for r in records if r.get('api') == 'Api_SendTextMsg']


def logs(records):
    return [r['args'][0] for r in records if r.get('api') == 'Api_AppendLogs']


def fresh(work, name):
    d = os.path.join(work, name)
    os.mkdir(d)
    return d


def not_a_database(host, plugin, work):
    d = fresh(work, 'junk-db')
    junk = bytes((i * 7919 + 13) % 256 for i in range(64 * 1024))
    open(os.path.join(d, 'tovu.db'), 'wb').write(junk)
    open(os.path.join(d, 'cfg.ini'), 'wb').write('[配置]\r\n积分比例=100\r\n自动收款=真\r\n'.encode('gbk'))
    before = digest(d)
    records = run_session(host, plugin, work, shop.start_lines(d) + [
        shop.message('wxid_u1', '查询'), shop.message('wxid_u1', 'TOVUaaaa1111bbbb'),
        shop.order('wxid_u1', 'J1'), shop.transfer('wxid_u1'), shop.message('wxid_u1', '菜单'),
        shop.call('Menu'), {'window': 'page', 'index': 3},
        {'window': 'set', 'control': '编辑框_生成卡密数量', 'text': '5'}, {'window': 'click', 'control': '按钮_生成卡密'},
        {'window': 'page', 'index': 0}, {'window': 'click', 'control': '按钮_保存配置'},
        shop.call('EventStop', 0)])
    t = texts(records)
    check('not a database: balance', '查询积分失败，您从未充值过' in t, repr(t))
    check('not a database: key', '卡密不存在！' in t, repr(t))
    check('not a database: no transfer accepted', shop.count_api(records, 'Api_AcceptTransfer') == 0)
    check('not a database: the transfer is logged as not written',
          any(l.startswith('插件例子消息 | 转账积分写入失败') for l in logs(records)), repr(logs(records)))
    check('not a database: no order forwarded', shop.count_api(records, 'Api_SendMiniAppMsg') == 0)
    after = digest(d)
    check('not a database: tovu.db untouched', after.get('tovu.db') == before['tovu.db'])
    check('not a database: no other file', set(after) == set(before), repr(sorted(after)))


def junk_settings(host, plugin, work):
    d = fresh(work, 'junk-cfg')
    shop.make_shop(d, ['wxid_u1'], pool_keys=1)
    junk = bytes((i * 31 + 7) % 256 for i in range(8192)) + b'\x00[\xc5\xe4\xd6\xc3]\r\n\xff\xfe=\x00\r\n'
    open(os.path.join(d, 'cfg.ini'), 'wb').write(junk)
    records = run_session(host, plugin, work, shop.start_lines(d) + [
        shop.message('wxid_u1', '查询'), shop.message('wxid_u1', '帮助'), shop.transfer('wxid_u1'),
        shop.call('EventFriendVerify', R, 'wxid_n', 'N', '', 'v1'),
        shop.order('wxid_u1', 'J2'), shop.message('wxid_u1', '菜单')])
    t = texts(records)
    check('junk settings: balance', ('您的积分为:%d' % shop.START_POINTS) in t, repr(t))
    check('junk settings: no switch is on', shop.count_api(records, 'Api_AcceptTransfer') == 0 and
          shop.count_api(records, 'Api_AgreeFriendVerify') == 0)
    check('junk settings: the order still goes through', shop.count_api(records, 'Api_SendMiniAppMsg') == 1)
    check('junk settings: cfg.ini untouched', open(os.path.join(d, 'cfg.ini'), 'rb').read() == junk)
    check('junk settings: books', not shop.Books(os.path.join(d, 'tovu.db'), {'wxid_u1': shop.START_POINTS}).faults)


def huge_input(host, plugin, work):
    d = fresh(work, 'huge')
    start = shop.make_shop(d, ['wxid_u1'], pool_keys=2)
    big = 'x' * MIB
    han = '汉' * (MIB // 2)  # 1 MiB in GBK
    deep = '{"is_arrived":' + '[' * (MIB // 2) + '1' + ']' * (MIB // 2) + ',"is_received":0}'
    lines = shop.start_lines(d) + [
        shop.message('wxid_u1', 'TOVU' + big),
        shop.message('wxid_u1', han),
        shop.message('wxid_u1', '查询' + big),
        shop.call('EventFriendMsg', R, 1, 'wxid_u1', han, big, big, shop.pool_key(0), big, big),
        shop.call('EventFriendMsg', R, 2002, 'wxid_u1', han, '', '',
                  '<pagepath>pages/p?code=' + 'C' * MIB + '</pagepath>', big, ''),
        shop.result('C' * MIB, False),
        shop.call('EventFriendMsg', R, 2002, 'wxid_u1', 'U', '', '',
                  '<pagepath>pages/p?code=' + '%41' * (MIB // 3) + '</pagepath>', 'm', ''),
        # 10 yuan, written with a megabyte of leading zeros.
        shop.call('EventReceivedTransfer', R, 'wxid_u1', han, R, '0' * MIB + '10', '{"is_arrived":1,"is_received":0}'),
        shop.call('EventReceivedTransfer', R, 'wxid_u1', 'U', R, '10', deep),
        shop.call('EventReceivedTransfer', R, 'wxid_u1', 'U', R, '10', '{"remark":"' + big + '","is_arrived":1}'),
        shop.call('EventFriendVerify', R, 'wxid_n' + big, han, big, big),
        shop.call('EventSendOutMsg', big, 1, 1, big, big, han, big, big),
        shop.message('wxid_u1', '查询'),
    ]
    records = run_session(host, plugin, work, lines)
    t = texts(records)
    check('1 MiB: a long text holding TOVU is no key', t[:1] == ['卡密不存在！'], repr([x[:40] for x in t[:1]]))
    check('1 MiB: the key with long arguments is credited', any(x.startswith('卡密充值成功') for x in t))
    check('1 MiB: orders with long codes go through', shop.count_api(records, 'Api_SendMiniAppMsg') == 2)
    check('1 MiB: the failure with a long code is refunded', any(x.startswith('退款成功') for x in t))
    # The payload nested 500,000 deep counts as not JSON: not arrived.
    check('1 MiB: transfers accepted', shop.count_api(records, 'Api_AcceptTransfer') == 2,
          str(shop.count_api(records, 'Api_AcceptTransfer')))
    check('1 MiB: the deep payload is not taken', '充值失败转账不是即时到账\r\n这笔转账会在时间到期后自动退换回您的账户' in t)
    books = shop.Books(os.path.join(d, 'tovu.db'), start)
    check('1 MiB: books', not books.faults, '; '.join(books.faults))
    check('1 MiB: the last balance', t[-1] == '您的积分为:%d' % (shop.START_POINTS + 7 - 3 + 3 - 3 + 2000), t[-1][:60])


def read_only_directory(host, plugin, work):
    d = fresh(work, 'read-only')
    start = shop.make_shop(d, ['wxid_u1'], pool_keys=2)
    before = digest(d)
    root = os.geteuid() == 0
    # Root writes through file modes; an immutable directory stops even root
    # from creating the journal next to the database.
    made = subprocess.run(['chattr', '+i', d], capture_output=True).returncode == 0 if root else False
    if not made:
        os.chmod(d, 0o555)
        if root:
            print('bad_files.py: read-only directory skipped: chattr +i is not available to root here')
            os.chmod(d, 0o755)
            return
    try:
        records = run_session(host, plugin, work, shop.start_lines(d) + [
            shop.message('wxid_u1', '查询'), shop.message('wxid_u1', shop.pool_key(0)),
            shop.order('wxid_u1', 'RO1'), shop.transfer('wxid_u1'), shop.transfer('wxid_new'),
            shop.message('wxid_u1', '菜单'),
            shop.call('Menu'), {'window': 'page', 'index': 3},
            {'window': 'set', 'control': '编辑框_生成卡密数量', 'text': '5'},
            {'window': 'click', 'control': '按钮_生成卡密'},
            {'window': 'page', 'index': 0}, {'window': 'click', 'control': '按钮_保存配置'},
            shop.message('wxid_u1', '查询'), shop.call('EventStop', 0)])
    finally:
        if made:
            subprocess.run(['chattr', '-i', d])
        os.chmod(d, 0o755)
    t = texts(records)
    balance = '您的积分为:%d' % shop.START_POINTS
    check('read-only: balances are read', t.count(balance) == 2, repr(t))
    check('read-only: the key is not credited', '卡密充值失败，请稍后再试' in t, repr(t))
    check('read-only: the order is refused', '下单失败，请稍后再试' in t, repr(t))
    check('read-only: no order forwarded', shop.count_api(records, 'Api_SendMiniAppMsg') == 0)
    check('read-only: no transfer accepted', shop.count_api(records, 'Api_AcceptTransfer') == 0)
    check('read-only: each transfer is logged as not written',
          sum(1 for l in logs(records) if l.startswith('插件例子消息 | 转账积分写入失败')) == 2, repr(logs(records)))
    check('read-only: nothing changed', digest(d) == before, repr(sorted(digest(d))))
    check('read-only: books', not shop.Books(os.path.join(d, 'tovu.db'), start).faults)


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 1
    host, plugin = sys.argv[1:]
    if not os.path.exists(host) or not os.path.exists(plugin):
        print('bad_files.py: skipped: not built', file=sys.stderr)
        return 77
    work = tempfile.mkdtemp(prefix='quorvel-bad-files.')
    try:
        for case in (not_a_database, junk_settings, huge_input, read_only_directory):
            case(host, plugin, work)
    finally:
        for root, dirs, _ in os.walk(work):
            for name in dirs:
                subprocess.run(['chattr', '-i', os.path.join(root, name)], capture_output=True)
        shutil.rmtree(work, ignore_errors=True)
    for f in failures:
        print('FAILED: ' + f)
    print('bad files: %d faults' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
