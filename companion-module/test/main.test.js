import { expect, test, vi } from 'vitest'
import { fakeObs } from './fake_obs.js'

// Companion's side of InstanceBase, keeping what the module hands over.
const companion = vi.hoisted(() => ({ Instance: null }))
vi.mock('@companion-module/base', async (original) => ({
	...(await original()),
	runEntrypoint: (Instance) => (companion.Instance = Instance),
	InstanceBase: class {
		label = 'deck'
		logs = []
		setVariableDefinitions = (variables) => (this.variables = variables)
		setFeedbackDefinitions = (feedbacks) => (this.feedbacks = feedbacks)
		setActionDefinitions = (actions) => (this.actions = actions)
		setPresetDefinitions = (presets) => (this.presets = presets)
		setVariableValues = (values) => (this.values = values)
		checkFeedbacks = () => {}
		updateStatus = (status) => (this.status = status)
		log = (level, message) => this.logs.push(`${level}: ${message}`)
	},
}))

test('the module wires CurtainUp to Companion', async () => {
	const obs = await fakeObs({
		password: 'secret',
		vendor: (type) => ({
			code: 100,
			data: {
				GetState: { ok: true, phase: 'idle', time_left: '', preset: 'Sunday' },
				ListPresets: { ok: true, presets: [{ name: 'Sunday' }], current: 'Sunday' },
				StartStandby: { ok: false, error: 'A show is running' },
			}[type],
		}),
	})
	await import('../src/main.js')
	const module = new companion.Instance()
	await module.init({ host: '127.0.0.1', port: obs.port }, true, { password: 'secret' })
	await vi.waitFor(() =>
		expect(module.actions.select_preset.options[0].choices).toEqual([{ id: 'Sunday', label: 'Sunday' }]),
	)

	expect(module.status).toBe('ok')
	expect(module.values).toMatchObject({ phase: 'idle', preset: 'Sunday', remaining_s: '' })
	expect(module.feedbacks.phase.callback({ options: { phase: 'idle' } })).toBe(true)
	expect(module.presets.time_left.style.text).toBe('$(deck:phase)\n$(deck:time_left)')
	await module.actions.start_standby.callback({ options: { length_s: 0, restart: false } })
	expect(module.logs).toContain('warn: Start standby: A show is running')

	await module.destroy()
	await obs.close()
})
