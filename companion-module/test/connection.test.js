import { afterEach, expect, test } from 'vitest'
import { CurtainUpConnection } from '../src/connection.js'
import { fakeObs } from './fake_obs.js'

const IDLE = { ok: true, phase: 'idle', time_left: '', preset: 'Sunday' }
const PRESETS = { ok: true, presets: [{ name: 'Sunday' }], current: 'Sunday' }
let obs, connection

afterEach(async () => {
	await connection?.stop()
	await obs?.close()
})

// Resolves with the first `event` of the connection whose arguments pass `check`.
function next(event, check = () => true) {
	return new Promise((resolve) => {
		const listener = (...args) => check(...args) && (connection.off(event, listener), resolve(args))
		connection.on(event, listener)
	})
}

async function connect(vendor, { password = 'secret', given = password } = {}) {
	obs = await fakeObs({ password, vendor })
	connection = new CurtainUpConnection({ host: '127.0.0.1', port: obs.port, password: given })
	connection.start()
}

const answers = (table) => (type) => ({ code: 100, data: table[type] })

test('GetState and ListPresets at connect, with the password', async () => {
	await connect(answers({ GetState: IDLE, ListPresets: PRESETS }))
	const [names] = await next('presets')
	expect(names).toEqual(['Sunday'])
	expect(connection.status.kind).toBe('ok')
	expect(connection.state.phase).toBe('idle')
})

test('a wrong password is reported, not retried', async () => {
	await connect(answers({}), { given: 'wrong' })
	await next('status', (kind) => kind === 'bad_password')
	await new Promise((resolve) => setTimeout(resolve, 1500)) // past the first back-off
	expect(connection.status.kind).toBe('bad_password')
})

test.each([
	['not_loaded', { code: 600 }],
	['loading', { code: 207 }],
	['loading', { code: 100, data: { ok: false, error: 'OBS is still loading.' } }],
])('%s until CurtainUp answers GetState, then ok', async (kind, refusal) => {
	let refusing = true
	await connect((type) => (refusing ? refusal : answers({ GetState: IDLE, ListPresets: PRESETS })(type)))
	await next('status', (status) => status === kind)
	refusing = false
	await next('status', (status) => status === 'ok')
})

test('events carry the state; StateChanged reads the preset list again', async () => {
	const presets = { ...PRESETS }
	await connect(answers({ GetState: IDLE, ListPresets: presets }))
	await next('presets')
	obs.event('CountdownTick', { ...IDLE, phase: 'standby', time_left: '0:09', kind: 'standby' })
	expect((await next('state'))[0].time_left).toBe('0:09')
	presets.presets = [{ name: 'Sunday' }, { name: 'Weekday' }]
	obs.event('StateChanged', { ...IDLE, phase: 'main' })
	expect(await next('presets')).toEqual([['Sunday', 'Weekday']])
	expect(connection.state.phase).toBe('main')
})

test('reconnects after OBS drops the connection and reads the state again', async () => {
	const table = { GetState: IDLE, ListPresets: PRESETS }
	await connect(answers(table))
	await next('status', (kind) => kind === 'ok')
	table.GetState = { ...IDLE, phase: 'break' }
	obs.dropClients()
	await next('status', (kind) => kind === 'connecting')
	await next('state', (state) => state.phase === 'break')
	expect(connection.status.kind).toBe('ok')
})
